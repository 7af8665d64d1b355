#include "nimbrel/StartupPlan.h"

#include <gtest/gtest.h>

#include <string>

#include "nimbrel/Commands.h"
#include "nimbrel/NimbrelApp.h"
#include "shell/CommandLine.h"
#include "shell/WindowMessages.h"

namespace {

using nimbrel::StartupPlan;

struct PlanCase {
    const char* name;
    const char* line;
    StartupPlan plan;
};

class NimbrelStartupTest : public ::testing::TestWithParam<PlanCase> {};

TEST_P(NimbrelStartupTest, SwitchesOfAFirstStart) {
    EXPECT_EQ(nimbrel::PlanStartup(CCommandLine(GetParam().line)), GetParam().plan);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, NimbrelStartupTest,
    ::testing::Values(
        PlanCase{"NoSwitchesChangeNothing", "", {}},
        PlanCase{"UpperCaseAboutShowsTheAboutBoxFirst", "/A", {true, false, {}, {}}},
        PlanCase{"QuitEndsAtOnce", "/q /h", {false, true, 1, {}}},
        PlanCase{"ShowClearsHideOnStart", "/v", {false, false, 0, {}}},
        PlanCase{"ShowThenHideKeepsHideOnStart", "/v/h", {false, false, 1, {}}},
        PlanCase{"EditorsOpenNamedBeforePass",
                 "/p /n",
                 {false, false, {}, {nimbrel::ID_MODIFY_NAMED, nimbrel::ID_MODIFY_PASS}}},
        PlanCase{"UpdateComesAfterTheEditors",
                 "/u /n",
                 {false, false, {}, {nimbrel::ID_MODIFY_NAMED, nimbrel::ID_UPDATE_LISTS}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NimbrelForwardTest, SwitchesAreForwardedInTheFixedOrder) {
    using namespace nimbrel;
    EXPECT_EQ(CNimbrelApp::ForwardedCommands(CCommandLine("/f /p /n /q /s /u /l /h /v /a")),
              (std::vector<int>{ID_HIDE, ID_LOAD_FILTERS, ID_UPDATE_LISTS, ID_START, ID_APP_EXIT,
                                ID_MODIFY_NAMED, ID_MODIFY_PASS, ID_SELECT_FILTER_FOLDER}));
}

}  // namespace
