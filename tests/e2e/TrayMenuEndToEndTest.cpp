#include <chrono>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "EndToEnd.h"
#include "PanelMenu.h"

namespace {

const std::string kNimbrel = NIMBREL_BINARY;

// Nimbrel with its tray icon on a StatusNotifierItem panel: in-desktop-session.sh runs
// this test inside a session whose panel has registered as the host.
class TrayMenuEndToEndTest : public EndToEndTest {
protected:
    TrayMenuEndToEndTest() { WriteFile("named.txt", "ads.example\n"); }

    std::map<std::string, std::string> Environment() const override {
        std::map<std::string, std::string> environment = EndToEndTest::Environment();
        for (const char* name : {"DISPLAY", "DBUS_SESSION_BUS_ADDRESS"}) {
            const char* value = std::getenv(name);
            environment[name] = value != nullptr ? value : "";
        }
        // Qt's own leaks are recognised by the functions on their stacks, which only the
        // slow unwinder sees through Qt's frames.
        environment["ASAN_OPTIONS"] = "detect_leaks=1:fast_unwind_on_malloc=0";
        environment["LSAN_OPTIONS"] = "suppressions=" LSAN_SUPPRESSIONS;
        return environment;
    }
};

// The menu as a panel would draw it: one line per item, its label, "[x]" or "[ ]" for a
// check mark, "(grayed)" when disabled, "---" for a separator.
std::string Drawn(const std::vector<PanelMenuItem>& items) {
    std::string text;
    for (const PanelMenuItem& item : items) {
        const auto value = [&item](const char* name) {
            const auto found = item.properties.find(name);
            return found == item.properties.end() ? std::string() : found->second;
        };
        if (value("type") == "separator") {
            text += "---\n";
            continue;
        }
        text += value("label");
        if (value("toggle-type") == "checkmark") {
            text += value("toggle-state") == "1" ? " [x]" : " [ ]";
        }
        if (value("enabled") == "false") {
            text += " (grayed)";
        }
        text += "\n";
    }
    return text;
}

std::string NimbrelMenu(bool running) {
    return std::string(
               "_About Nimbrel...\n---\nLoad _Filters\n_Block Lists...\n_Update Lists\n---\n") +
           (running ? "S_tart [x]\nSto_p [ ]\n" : "S_tart [ ]\nSto_p [x]\n") +
           "---\n_Hide\nHi_de on Start [ ]\n---\nIP Inf_o...\nPro_xy DNS...\nActi_vity...\n---\n"
           "Modify Named.txt\nModify Pass.txt\nSelect Filter Folder...\n---\nE_xit\n";
}

// Reads the menu until it is drawn as `expected` or `timeoutMs` has passed; the last
// reading.
std::string AwaitDrawn(const PanelMenu& menu, const std::string& expected, int timeoutMs) {
    std::string drawn;
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        drawn = Drawn(menu.Layout());
        if (drawn == expected) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return drawn;
}

int IdOf(const PanelMenu& menu, const std::string& label) {
    for (const PanelMenuItem& item : menu.Layout()) {
        const auto found = item.properties.find("label");
        if (found != item.properties.end() && found->second == label) {
            return item.id;
        }
    }
    return -1;
}

// Nothing here opens the menu (no AboutToShow): a panel draws what it fetched, so the
// items must be there from the start and follow every change by themselves.
TEST_F(TrayMenuEndToEndTest, PanelMenuFollowsStopAndStartAndItsClicksRunCommands) {
    auto instance = std::make_unique<ProgramProcess>(kNimbrel, std::vector<std::string>{"/v"},
                                                     Environment(), m_work);
    PanelMenu menu;
    ASSERT_TRUE(menu.AwaitItem(10000)) << instance->StandardError();
    EXPECT_EQ(AwaitDrawn(menu, NimbrelMenu(true), 10000), NimbrelMenu(true));

    ASSERT_EQ(RunOnce(kNimbrel, {"/s"}), 0);  // Start while running stops the service
    EXPECT_EQ(AwaitDrawn(menu, NimbrelMenu(false), 10000), NimbrelMenu(false));

    ASSERT_TRUE(menu.Click(IdOf(menu, "S_tart")));
    EXPECT_EQ(AwaitDrawn(menu, NimbrelMenu(true), 10000), NimbrelMenu(true));
    EXPECT_TRUE(AskDns(kit::MakeQuery(1, "ads.example")));

    ASSERT_TRUE(menu.Click(IdOf(menu, "E_xit")));
    EXPECT_EQ(instance->Wait(5000), 0) << instance->StandardError();
}

}  // namespace
