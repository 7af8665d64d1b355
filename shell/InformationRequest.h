#pragma once

// "--help" and "--version" ask a program about itself, not for a start: given as a whole
// argument anywhere on the command line, one of them wins over every switch, and the
// program prints its answer and ends without starting or forwarding anything. The first
// of the two on the line is the one answered.
enum class InformationRequest { kNone, kHelp, kVersion };

InformationRequest FindInformationRequest(int argc, const char* const* argv);

// What a program answers: its usage text, and its name and version ("nimbrel", "1.2.0").
struct ProgramInformation {
    const char* usage;
    const char* name;
    const char* version;
};

// Prints the answer to `request` on standard output; false, printing nothing, for kNone.
bool AnswerInformationRequest(InformationRequest request, const ProgramInformation& program);
