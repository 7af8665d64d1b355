#include "shell/InformationRequest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct RequestCase {
    const char* name;
    std::vector<const char*> arguments;  // after the program name
    InformationRequest request;
};

class InformationRequestTest : public ::testing::TestWithParam<RequestCase> {};

TEST_P(InformationRequestTest, OnlyAWholeArgumentAsks) {
    std::vector<const char*> argv{"nimbrel"};
    argv.insert(argv.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    EXPECT_EQ(FindInformationRequest(static_cast<int>(argv.size()), argv.data()),
              GetParam().request);
}

using R = InformationRequest;
INSTANTIATE_TEST_SUITE_P(
    Lines, InformationRequestTest,
    ::testing::Values(RequestCase{"NoArguments", {}, R::kNone},
                      RequestCase{"HelpAfterASwitch", {"/q", "--help"}, R::kHelp},
                      RequestCase{"VersionBeforeASwitch", {"--version", "/s"}, R::kVersion},
                      RequestCase{"FirstOfTheTwoWins", {"--version", "--help"}, R::kVersion},
                      RequestCase{
                          "PartOfAnArgumentDoesNotAsk", {"--helpful", "x--version"}, R::kNone},
                      RequestCase{"LetterCaseCounts", {"--HELP"}, R::kNone}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InformationRequestTest, AnswersOnStandardOutput) {
    const ProgramInformation program{"Usage: nimbrel\n", "nimbrel", "1.2.0"};
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(AnswerInformationRequest(InformationRequest::kVersion, program));
    EXPECT_TRUE(AnswerInformationRequest(InformationRequest::kHelp, program));
    EXPECT_FALSE(AnswerInformationRequest(InformationRequest::kNone, program));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "nimbrel 1.2.0\nUsage: nimbrel\n");
}

}  // namespace
