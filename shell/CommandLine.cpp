#include "shell/CommandLine.h"

#include <cctype>

namespace {

std::string Lowered(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string Joined(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            line += ' ';
        }
        line += argv[i];
    }
    return line;
}

}  // namespace

CCommandLine::CCommandLine(int argc, const char* const* argv) : CCommandLine(Joined(argc, argv)) {}

CCommandLine::CCommandLine(std::string line) : m_line(Lowered(std::move(line))) {}

bool CCommandLine::Has(std::string_view switchText) const {
    return m_line.find(switchText) != std::string::npos;
}
