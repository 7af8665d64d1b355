#include "shell/InformationRequest.h"

#include <cstdio>
#include <string_view>

InformationRequest FindInformationRequest(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help") {
            return InformationRequest::kHelp;
        }
        if (argument == "--version") {
            return InformationRequest::kVersion;
        }
    }
    return InformationRequest::kNone;
}

bool AnswerInformationRequest(InformationRequest request, const ProgramInformation& program) {
    switch (request) {
        case InformationRequest::kNone:
            return false;
        case InformationRequest::kHelp:
            std::fputs(program.usage, stdout);
            return true;
        case InformationRequest::kVersion:
            std::printf("%s %s\n", program.name, program.version);
            return true;
    }
    return false;
}
