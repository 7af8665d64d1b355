#include "dialogs/qt/IpAddressEdit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "tests/shell/qt/QtTestApplication.h"

namespace {

// Keys typed into the first field (focus follows the control's own moves), and the result.
struct TypingCase {
    const char* keys;
    std::uint32_t address;
    const char* fields[CIpAddressEdit::kFieldCount];
};

class IpAddressTypingTest : public ::testing::TestWithParam<TypingCase> {
protected:
    void SetUp() override { EnsureQtApplication(); }
};

TEST_P(IpAddressTypingTest, FieldsFollowTheKeysAndBlankFieldsCountAsZero) {
    CIpAddressEdit edit;
    edit.show();
    QApplication::setActiveWindow(&edit);
    edit.Field(0)->setFocus();
    for (const char* key = GetParam().keys; *key != '\0'; ++key) {
        QTest::keyClick(QApplication::focusWidget(), *key);
    }
    EXPECT_EQ(edit.Address(), GetParam().address);
    for (int index = 0; index < CIpAddressEdit::kFieldCount; ++index) {
        EXPECT_EQ(edit.Field(index)->text(), GetParam().fields[index]) << index;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, IpAddressTypingTest,
    ::testing::Values(TypingCase{"", 0, {"", "", "", ""}},
                      TypingCase{"10", 0x0A000000, {"10", "", "", ""}},
                      TypingCase{"10.0.0.1", 0x0A000001, {"10", "0", "0", "1"}},
                      // A third digit moves on by itself.
                      TypingCase{"192168001009", 0xC0A80109, {"192", "168", "001", "009"}},
                      TypingCase{"10 20", 0x0A140000, {"10", "20", "", ""}},
                      // Values above 255 and other characters are refused as they are typed.
                      TypingCase{"256.300", 0x19000000 | 0x1E0000, {"25", "30", "", ""}},
                      TypingCase{"1a2.x3", 0x0C030000, {"12", "3", "", ""}},
                      // "." in an empty field stays put.
                      TypingCase{"..7", 0x07000000, {"7", "", "", ""}}));

class IpAddressEditTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQtApplication(); }
};

TEST_F(IpAddressEditTest, EveryEditIsReportedWithItsFieldButSetAddressIsNot) {
    CIpAddressEdit edit;
    QSignalSpy changes(&edit, &CIpAddressEdit::fieldChanged);
    edit.SetAddress(0x7F000001);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(edit.Address(), 0x7F000001u);
    EXPECT_EQ(edit.Field(0)->text(), "127");
    EXPECT_EQ(edit.Field(3)->text(), "1");
    QTest::keyClick(edit.Field(3), Qt::Key_Backspace);
    QTest::keyClicks(edit.Field(2), "42");
    ASSERT_EQ(changes.count(), 3);
    EXPECT_EQ(changes[0][0].toInt(), 3);
    EXPECT_EQ(changes[2][0].toInt(), 2);
    EXPECT_EQ(edit.Address(), 0x7F002A00u);
    EXPECT_FALSE(edit.IsBlank());
}

TEST_F(IpAddressEditTest, BackspaceInAnEmptyFieldGoesBackToThePreviousOne) {
    CIpAddressEdit edit;
    edit.show();
    QApplication::setActiveWindow(&edit);
    edit.Field(0)->setFocus();
    for (const char key : std::string("1.2")) {
        QTest::keyClick(QApplication::focusWidget(), key);
    }
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    }
    EXPECT_TRUE(edit.IsBlank());
    EXPECT_EQ(QApplication::focusWidget(), edit.Field(0));
}

}  // namespace
