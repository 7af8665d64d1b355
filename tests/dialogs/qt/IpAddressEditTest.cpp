#include "dialogs/qt/IpAddressEdit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "tests/shell/qt/QtTestApplication.h"

// Keys typed from the first field on, focus following the control's own moves: a third
// digit or "." moves on, a value above 255 or another character is refused, and Backspace
// in an empty field goes back. Blank fields count as zero.
TEST(IpAddressEditTest, FieldsFollowTheKeysAsTheyAreTyped) {
    EnsureQtApplication();
    const struct {
        const char* keys;
        std::uint32_t address;
        const char* fields[CIpAddressEdit::kFieldCount];
    } rows[] = {{"10.0.0.1", 0x0A000001, {"10", "0", "0", "1"}},
                {"192168001009", 0xC0A80109, {"192", "168", "001", "009"}},
                {"10 20", 0x0A140000, {"10", "20", "", ""}},
                {"256.300", 0x191E0000, {"25", "30", "", ""}},
                {"1a2.x3", 0x0C030000, {"12", "3", "", ""}},
                {"..7", 0x07000000, {"7", "", "", ""}},  // "." in an empty field stays put
                {"1.2\b\b\b", 0, {"", "", "", ""}}};
    for (const auto& row : rows) {
        CIpAddressEdit edit;
        edit.show();
        QApplication::setActiveWindow(&edit);
        edit.Field(0)->setFocus();
        for (const char* key = row.keys; *key != '\0'; ++key) {
            QTest::keyClick(QApplication::focusWidget(), *key);
        }
        EXPECT_EQ(edit.Address(), row.address) << row.keys;
        for (int index = 0; index < CIpAddressEdit::kFieldCount; ++index) {
            EXPECT_EQ(edit.Field(index)->text(), row.fields[index]) << row.keys << " " << index;
        }
    }
}
