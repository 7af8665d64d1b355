#include "dialogs/ProxyDNSDialog.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/dialogs/FakeDialogControls.h"
#include "tests/dialogs/TempFolder.h"

namespace {

using dialogtest::CFakeDialogControls;
using Row = CProxyDNSDialog::ServerRow;

constexpr const Row& kRow1 = CProxyDNSDialog::kServerRows[0];
constexpr const Row& kRow2 = CProxyDNSDialog::kServerRows[1];
constexpr std::uint32_t kTenZeroZeroOne = 0x0A000001;

// "IP1" for the first row, and so on.
std::string KeyOf(const Row& row) {
    return "IP" + std::to_string(&row - CProxyDNSDialog::kServerRows.data() + 1);
}

class ProxyDNSDialogTest : public ::testing::Test {
protected:
    const ProfileStore& Profile() const { return m_folder.Profile(); }
    std::string Server(const Row& row) const {
        return Profile().ReadString("Proxy", KeyOf(row), "-");
    }
    int UseCode() const { return Profile().ReadInt("Proxy", "UseCode", -1); }

    // The user types a whole address into row `row`.
    void TypeAddress(const Row& row, std::uint32_t address) {
        m_controls.SetAddress(row.address, address);
        m_dialog.OnAddressFieldChanged(m_controls, row.address);
    }
    void ExpectGreyed(const Row& row) {
        for (const int box : {row.passedBox, row.notNamedBox}) {
            EXPECT_EQ(m_controls.Get(box).caption, "") << box;
            EXPECT_FALSE(m_controls.Get(box).enabled) << box;
            EXPECT_FALSE(m_controls.Get(box).checked) << box;
        }
    }

    dialogtest::CTempFolder m_folder;
    CProxyDNSDialog m_dialog{m_folder.Profile()};
    CFakeDialogControls m_controls;
};

TEST_F(ProxyDNSDialogTest, CleanProfileOpensBlankAndOkStoresZeroAddressesAndCode) {
    m_dialog.OnInitDialog(m_controls);
    for (const Row& row : CProxyDNSDialog::kServerRows) {
        EXPECT_FALSE(m_controls.Get(row.address).address.has_value());
        ExpectGreyed(row);
    }
    m_dialog.OnOK(m_controls);
    for (const Row& row : CProxyDNSDialog::kServerRows) {
        EXPECT_EQ(Server(row), "0.0.0.0");
    }
    EXPECT_EQ(UseCode(), 0);
}

TEST_F(ProxyDNSDialogTest, StoredServerOpensLabelledAndCheckedOthersGreyed) {
    Profile().WriteString("Proxy", "IP1", "10.0.0.1");
    Profile().WriteInt("Proxy", "UseCode", 30000);
    m_dialog.OnInitDialog(m_controls);
    EXPECT_EQ(m_controls.GetAddress(kRow1.address), kTenZeroZeroOne);
    for (const int box : {kRow1.passedBox, kRow1.notNamedBox}) {
        EXPECT_EQ(m_controls.Get(box).caption, "10.0.0.1");
        EXPECT_TRUE(m_controls.Get(box).enabled);
        EXPECT_TRUE(m_controls.Get(box).checked);
    }
    for (std::size_t row = 1; row < CProxyDNSDialog::kServerRows.size(); ++row) {
        ExpectGreyed(CProxyDNSDialog::kServerRows[row]);
    }
}

// What the stored text of a row opens as, and what OK stores back for it.
struct StoredServerCase {
    const char* stored;
    std::uint32_t opensAs;
    const char* storedAtOk;
    bool boxesEnabled;
};

class StoredServerTest : public ProxyDNSDialogTest,
                         public ::testing::WithParamInterface<StoredServerCase> {};

TEST_P(StoredServerTest, OpensAsItsAddressAndOkStoresItsDottedText) {
    Profile().WriteString("Proxy", "IP2", GetParam().stored);
    Profile().WriteInt("Proxy", "UseCode", 33333);
    m_dialog.OnInitDialog(m_controls);
    EXPECT_EQ(m_controls.GetAddress(kRow2.address), GetParam().opensAs);
    EXPECT_EQ(m_controls.Get(kRow2.passedBox).enabled, GetParam().boxesEnabled);
    EXPECT_EQ(m_controls.Get(kRow2.notNamedBox).checked, GetParam().boxesEnabled);
    m_dialog.OnOK(m_controls);
    EXPECT_EQ(Server(kRow2), GetParam().storedAtOk);
    EXPECT_EQ(UseCode(), GetParam().boxesEnabled ? 3000 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    StoredTexts, StoredServerTest,
    ::testing::Values(StoredServerCase{"", 0, "0.0.0.0", false},
                      StoredServerCase{"0.0.0.0", 0, "0.0.0.0", false},
                      StoredServerCase{"192.168.1.9", 0xC0A80109, "192.168.1.9", true},
                      // The classic parser's short forms.
                      StoredServerCase{"10.1", 0x0A000001, "10.0.0.1", true},
                      // Unreadable text opens as the all-ones address and is kept as such.
                      StoredServerCase{"dns.example", 0xFFFFFFFF, "255.255.255.255", true},
                      StoredServerCase{"10.0.0.256", 0xFFFFFFFF, "255.255.255.255", true}));

class UseCodeRoundTripTest : public ProxyDNSDialogTest,
                             public ::testing::WithParamInterface<int> {};

TEST_P(UseCodeRoundTripTest, EveryDigitOpensAsItsBoxesAndOkStoresTheSameCode) {
    for (const Row& row : CProxyDNSDialog::kServerRows) {
        Profile().WriteString("Proxy", KeyOf(row), "10.0.0." + KeyOf(row).substr(2));
    }
    Profile().WriteInt("Proxy", "UseCode", GetParam());
    m_dialog.OnInitDialog(m_controls);
    int weight = 100000;
    for (const Row& row : CProxyDNSDialog::kServerRows) {
        weight /= 10;
        const int digit = GetParam() / weight % 10;
        EXPECT_EQ(m_controls.IsChecked(row.passedBox), (digit & 2) != 0) << KeyOf(row);
        EXPECT_EQ(m_controls.IsChecked(row.notNamedBox), (digit & 1) != 0) << KeyOf(row);
    }
    m_dialog.OnOK(m_controls);
    EXPECT_EQ(UseCode(), GetParam());
    EXPECT_EQ(Server(CProxyDNSDialog::kServerRows[4]), "10.0.0.5");
}

INSTANTIATE_TEST_SUITE_P(Codes, UseCodeRoundTripTest,
                         ::testing::Values(0, 1, 2, 3, 10, 33333, 31000, 12301, 20103));

TEST_F(ProxyDNSDialogTest, FirstFieldTypedAloneChecksTheRowUnderThatAddress) {
    m_dialog.OnInitDialog(m_controls);
    TypeAddress(kRow1, 0x0A000000);
    for (const int box : {kRow1.passedBox, kRow1.notNamedBox}) {
        EXPECT_EQ(m_controls.Get(box).caption, "10.0.0.0");
        EXPECT_TRUE(m_controls.Get(box).enabled);
        EXPECT_TRUE(m_controls.Get(box).checked);
    }
    ExpectGreyed(kRow2);
    m_dialog.OnOK(m_controls);
    EXPECT_EQ(Server(kRow1), "10.0.0.0");
    EXPECT_EQ(UseCode(), 30000);
}

TEST_F(ProxyDNSDialogTest, AddressChangeRechecksOnlyItsOwnRow) {
    Profile().WriteString("Proxy", "IP1", "10.0.0.1");
    Profile().WriteString("Proxy", "IP2", "10.0.0.2");
    Profile().WriteInt("Proxy", "UseCode", 33000);
    m_dialog.OnInitDialog(m_controls);
    for (const int box : {kRow1.passedBox, kRow2.passedBox, kRow2.notNamedBox}) {
        m_controls.SetCheck(box, false);
    }
    TypeAddress(kRow2, 0x0A000003);
    EXPECT_TRUE(m_controls.IsChecked(kRow2.passedBox));
    EXPECT_TRUE(m_controls.IsChecked(kRow2.notNamedBox));
    EXPECT_EQ(m_controls.Get(kRow2.notNamedBox).caption, "10.0.0.3");
    EXPECT_FALSE(m_controls.IsChecked(kRow1.passedBox));
    EXPECT_TRUE(m_controls.IsChecked(kRow1.notNamedBox));
    m_dialog.OnOK(m_controls);
    EXPECT_EQ(UseCode(), 13000);
    EXPECT_EQ(Server(kRow2), "10.0.0.3");
}

TEST_F(ProxyDNSDialogTest, AddressClearedToZeroGreysAndClearsItsRow) {
    Profile().WriteString("Proxy", "IP1", "10.0.0.1");
    Profile().WriteInt("Proxy", "UseCode", 30000);
    m_dialog.OnInitDialog(m_controls);
    TypeAddress(kRow1, 0);
    ExpectGreyed(kRow1);
    m_dialog.OnOK(m_controls);
    EXPECT_EQ(Server(kRow1), "0.0.0.0");
    EXPECT_EQ(UseCode(), 0);
}

}  // namespace
