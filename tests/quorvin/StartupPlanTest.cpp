#include "quorvin/StartupPlan.h"

#include <gtest/gtest.h>

#include "quorvin/Commands.h"
#include "quorvin/QuorvinApp.h"
#include "shell/CommandLine.h"
#include "shell/WindowMessages.h"

namespace {

using quorvin::StartupPlan;
using quorvin::StoredSettings;

struct PlanCase {
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
INSTANTIATE_TEST_SUITE_P(Lines, QuorvinStartupTest,
                         ::testing::Values(PlanCase{"", {1, 0, 1}, {false, false, 1, false}},
                                           PlanCase{"", {1, 1, 1}, {}}, PlanCase{"", {2, 2, 1}, {}},
                                           PlanCase{"/v", {1, 0, 1}, {false, false, 0, false}},
                                           PlanCase{"/v", {0, 0, 1}, {}},
                                           PlanCase{"/v", {2, 2, 1}, {}},
                                           PlanCase{"/a /q /v", {0, 0, 1}, {true, true, {}, false}},
                                           PlanCase{"/t /v", {0, 0, 1}, {false, false, {}, true}},
                                           PlanCase{"/T /v", {0, 0, 2}, {}}));

TEST(QuorvinForwardTest, SwitchesAreForwardedInTheFixedOrder) {
    using namespace quorvin;
    EXPECT_EQ(CQuorvinApp::ForwardedCommands(CCommandLine("/t /v /q /i /s /h /a")),
              (std::vector<int>{ID_HIDE, ID_START, ID_USE_IMAGES, ID_APP_EXIT}));
}

}  // namespace
