#include "dialogs/IPInfoDialog.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <string>
#include <vector>

#include "dialogs/MachineAddresses.h"
#include "net/Reactor.h"
#include "tests/dialogs/FakeDialogControls.h"
#include "tests/dialogs/TempFolder.h"

namespace {

using dialogtest::CFakeDialogControls;
using Addresses = std::vector<std::string>;

constexpr std::uint32_t kLocalHost = 0x7F000001;

constexpr int kDispatchSliceMs = 10;
constexpr int kMaxDispatchSlices = 500;

class IPInfoDialogTest : public ::testing::Test {
protected:
    const ProfileStore& Profile() const { return m_folder.Profile(); }
    const Addresses& Listed() { return m_controls.Get(CIPInfoDialog::kMachineAddressList).entries; }
    // Runs the loop until the dialog's lookup has come back.
    void AwaitLookup(const CIPInfoDialog& dialog) {
        for (int slice = 0; slice < kMaxDispatchSlices && dialog.IsLookingUp(); ++slice) {
            m_reactor.DispatchReady(kDispatchSliceMs);
        }
        ASSERT_FALSE(dialog.IsLookingUp());
    }

    CReactor m_reactor;
    dialogtest::CTempFolder m_folder;
    // What the resolver answers for this machine at the moment.
    Addresses m_machine;
    CIPInfoDialog m_dialog{m_folder.Profile(), [this] { return m_machine; }};
    CFakeDialogControls m_controls;
};

TEST_F(IPInfoDialogTest, OpeningShowsAndStoresTheLocalHostWhateverWasStored) {
    Profile().WriteInt("Preferences", "ResolveToLocal", 0);
    Profile().WriteString("Preferences", "ResolveToIP", "10.1.1.1");
    m_dialog.OnInitDialog(m_controls);  // and then cancelled: the writes stay
    EXPECT_TRUE(m_controls.IsChecked(CIPInfoDialog::kResolveToLocalBox));
    EXPECT_FALSE(m_controls.Get(CIPInfoDialog::kResolveToLocalBox).enabled);
    EXPECT_EQ(m_controls.GetAddress(CIPInfoDialog::kResolveToAddress), kLocalHost);
    EXPECT_FALSE(m_controls.Get(CIPInfoDialog::kResolveToAddress).enabled);
    EXPECT_EQ(Profile().ReadInt("Preferences", "ResolveToLocal", 9), 1);
    EXPECT_EQ(Profile().ReadString("Preferences", "ResolveToIP", ""), "127.0.0.1");
}

TEST_F(IPInfoDialogTest, OkStoresTheLocalHostAgain) {
    m_dialog.OnInitDialog(m_controls);
    Profile().WriteInt("Preferences", "ResolveToLocal", 0);
    Profile().WriteString("Preferences", "ResolveToIP", "10.1.1.1");
    m_dialog.OnOK(m_controls);
    EXPECT_EQ(Profile().ReadInt("Preferences", "ResolveToLocal", 9), 1);
    EXPECT_EQ(Profile().ReadString("Preferences", "ResolveToIP", ""), "127.0.0.1");
}

struct ListCase {
    Addresses resolved;
    Addresses listed;
};

class MachineListTest : public IPInfoDialogTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(MachineListTest, ListIsSortedAsTextAndRebuiltByEveryClick) {
    m_machine = {"10.9.9.9"};
    m_dialog.OnInitDialog(m_controls);
    AwaitLookup(m_dialog);
    EXPECT_EQ(Listed(), Addresses{"10.9.9.9"});
    m_machine = GetParam().resolved;
    m_dialog.OnCurrentIPs(m_controls);
    AwaitLookup(m_dialog);
    m_dialog.OnCurrentIPs(m_controls);
    EXPECT_TRUE(Listed().empty());
    AwaitLookup(m_dialog);
    EXPECT_EQ(Listed(), GetParam().listed);
}

INSTANTIATE_TEST_SUITE_P(
    Resolved, MachineListTest,
    ::testing::Values(ListCase{{"192.168.1.9", "192.168.1.10"}, {"192.168.1.10", "192.168.1.9"}},
                      ListCase{{"127.0.1.1"}, {"127.0.1.1"}},
                      // One address named twice by the resolver is listed once.
                      ListCase{{"10.0.0.2", "10.0.0.1", "10.0.0.2"}, {"10.0.0.1", "10.0.0.2"}},
                      // An unresolvable host name leaves the list empty.
                      ListCase{{}, {}}));

TEST_F(IPInfoDialogTest, AnswerAfterTheDialogClosedIsDropped) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    CIPInfoDialog dialog(Profile(), [released] {
        released.wait();
        return Addresses{"10.1.2.3"};
    });
    dialog.OnInitDialog(m_controls);
    EXPECT_TRUE(dialog.IsLookingUp());
    // Closing does not wait for the lookup, which is still blocked.
    dialog.OnClosed();
    EXPECT_FALSE(dialog.IsLookingUp());
    release.set_value();
    for (int slice = 0; slice < 10; ++slice) {
        m_reactor.DispatchReady(kDispatchSliceMs);
    }
    EXPECT_TRUE(Listed().empty());
}

TEST_F(IPInfoDialogTest, TheProgramsDialogListsThisMachinesAddresses) {
    CIPInfoDialog dialog(Profile());
    CFakeDialogControls controls;
    dialog.OnInitDialog(controls);
    AwaitLookup(dialog);
    Addresses expected = LookUpMachineAddresses();
    for (const std::string& address : expected) {
        in_addr parsed{};
        EXPECT_EQ(::inet_pton(AF_INET, address.c_str(), &parsed), 1) << address;
    }
    std::sort(expected.begin(), expected.end());
    expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
    EXPECT_EQ(controls.Get(CIPInfoDialog::kMachineAddressList).entries, expected);
}

}  // namespace
