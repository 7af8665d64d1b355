#include "dialogs/ProxyDNSDialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/dialogs/FakeDialogControls.h"
#include "tests/support/TempFolder.h"

namespace {

using Strings = std::vector<std::string>;
constexpr const auto& kRows = CProxyDNSDialog::kServerRows;

// The dialog opened on a profile holding these servers (IP1 first) and this code.
struct COpenDialog {
    COpenDialog(const Strings& servers, int useCode) {
        for (std::size_t row = 0; row < servers.size(); ++row) {
            folder.Profile().WriteString("Proxy", "IP" + std::to_string(row + 1), servers[row]);
        }
        folder.Profile().WriteInt("Proxy", "UseCode", useCode);
        dialog.OnInitDialog(controls);
    }
    // Each row's boxes as the user sees them: their caption, then P and N for a checked
    // "If passed" and "If not named" box, and "off" when they are greyed.
    Strings Seen() const {
        Strings seen;
        for (const auto& row : kRows) {
            const auto& passed = controls.Get(row.passedBox);
            const auto& notNamed = controls.Get(row.notNamedBox);
            EXPECT_EQ(passed.caption, notNamed.caption);
            EXPECT_EQ(passed.enabled, notNamed.enabled);
            seen.push_back(passed.caption + ":" + (passed.checked ? "P" : "") +
                           (notNamed.checked ? "N" : "") + (passed.enabled ? "" : "off"));
        }
        return seen;
    }
    void Type(std::size_t row, std::uint32_t address) {
        controls.SetAddress(kRows[row].address, address);
        dialog.OnAddressFieldChanged(controls, kRows[row].address);
    }
    // Presses OK: the five addresses stored, then the code.
    Strings OkAndStored() {
        dialog.OnOK(controls);
        Strings stored;
        for (const char* key : {"IP1", "IP2", "IP3", "IP4", "IP5", "UseCode"}) {
            stored.push_back(folder.Profile().ReadString("Proxy", key, ""));
        }
        return stored;
    }

    kit::CTempFolder folder;
    CProxyDNSDialog dialog{folder.Profile()};
    dialogtest::CFakeDialogControls controls;
};

// A row opens from its stored text (in any form the classic parser reads; unreadable text
// opens as the all-ones address) and its digit of the code; a row without a server is
// greyed. OK stores each row's dotted text and the code of the boxes.
TEST(ProxyDNSDialogTest, OpensFromTheProfileAndOkStoresWhatItShows) {
    const std::string ones = "255.255.255.255";
    COpenDialog open({"10.0.0.1", "0.0.0.0", "10.1", "dns.example", "10.0.0.256"}, 33210);
    EXPECT_EQ(open.Seen(), (Strings{"10.0.0.1:PN", ":off", "10.0.0.1:P", ones + ":N", ones + ":"}));
    EXPECT_EQ(open.OkAndStored(),
              (Strings{"10.0.0.1", "0.0.0.0", "10.0.0.1", ones, ones, "30210"}));
    const std::string none = "0.0.0.0";
    EXPECT_EQ(COpenDialog({}, 33333).OkAndStored(), (Strings{none, none, none, none, none, "0"}));
}

// An address edited in any field checks both boxes of its own row, and only of its row; an
// address cleared to 0 greys its row.
TEST(ProxyDNSDialogTest, TypingAnAddressChecksItsOwnRowAndClearingItGreysIt) {
    COpenDialog open({"10.0.0.1", "10.0.0.2", "10.0.0.9"}, 13300);
    open.controls.SetCheck(kRows[1].passedBox, false);
    open.Type(1, 0x0A000003);
    open.Type(2, 0);
    open.Type(3, 0x0A000000);  // the first field typed alone
    EXPECT_EQ(open.Seen(), (Strings{"10.0.0.1:N", "10.0.0.3:PN", ":off", "10.0.0.0:PN", ":off"}));
    EXPECT_EQ(open.OkAndStored(),
              (Strings{"10.0.0.1", "10.0.0.3", "0.0.0.0", "10.0.0.0", "0.0.0.0", "13030"}));
}

}  // namespace
