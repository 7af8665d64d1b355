#pragma once

#include <string>
#include <string_view>

// The start-up switches: the arguments after the program name, joined by blanks and
// lower-cased once. A switch is present when its text occurs anywhere in that line, so
// "/V/H", "/v /h" and "c:/apps/x" (which holds "/a") all count.
class CCommandLine {
public:
    CCommandLine(int argc, const char* const* argv);
    explicit CCommandLine(std::string line);

    bool Has(std::string_view switchText) const;
    const std::string& Text() const { return m_line; }

private:
    std::string m_line;
};
