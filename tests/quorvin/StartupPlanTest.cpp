#include "quorvin/StartupPlan.h"

#include <gtest/gtest.h>

#include <string>

#include "quorvin/Commands.h"
#include "quorvin/QuorvinApp.h"
#include "shell/CommandLine.h"
#include "shell/WindowMessages.h"

namespace {

using quorvin::StartupPlan;
using quorvin::StoredSettings;

struct PlanCase {
    const char* name;
    const char* line;
    StoredSettings stored;
    StartupPlan plan;
};

class QuorvinStartupTest : public ::testing::TestWithParam<PlanCase> {};

TEST_P(QuorvinStartupTest, SwitchesOfAFirstStart) {
    EXPECT_EQ(quorvin::PlanStartup(CCommandLine(GetParam().line), GetParam().stored),
              GetParam().plan);
}

// Stored values as read with their rule's default: HideOnStart (absent: 1), HideOnStart
// (absent: 0), Images (absent: 1).
INSTANTIATE_TEST_SUITE_P(
    Lines, QuorvinStartupTest,
    ::testing::Values(
        PlanCase{"FirstStartWithoutShowHidesTheIcon", "", {1, 0, 1}, {false, false, 1, false}},
        PlanCase{"HiddenAlreadyWritesNothing", "", {1, 1, 1}, {}},
        PlanCase{"AnyNonZeroHideOnStartCountsAsHidden", "", {2, 2, 1}, {}},
        PlanCase{"ShowClearsAHideOnStartOfOne", "/v", {1, 0, 1}, {false, false, 0, false}},
        PlanCase{"ShowWhenShownAlreadyWritesNothing", "/v", {0, 0, 1}, {}},
        PlanCase{"ShowLeavesAHideOnStartOfTwo", "/v", {2, 2, 1}, {}},
        PlanCase{"AboutAndQuitTogether", "/a /q /v", {0, 0, 1}, {true, true, {}, false}},
        PlanCase{"NoImagesTurnsImagesOff", "/t /v", {0, 0, 1}, {false, false, {}, true}},
        PlanCase{"NoImagesLeavesImagesOfTwo", "/T /v", {0, 0, 2}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QuorvinForwardTest, SwitchesAreForwardedInTheFixedOrder) {
    using namespace quorvin;
    EXPECT_EQ(CQuorvinApp::ForwardedCommands(CCommandLine("/t /v /q /i /s /h /a")),
              (std::vector<int>{ID_HIDE, ID_START, ID_USE_IMAGES, ID_APP_EXIT}));
}

}  // namespace
