#include "shell/qt/AboutDialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "QtTestApplication.h"
#include "shell/qt/IconLibrary.h"

namespace {

TEST(AboutDialogTest, ShowsTitleVersionTextAndBothIcons) {
    EnsureQtApplication();
    CIconLibrary icons("quorvin");
    CAboutDialog dialog(AboutInfo{"About Quorvin", "Quorvin 1.2", "A line.", 128, 132}, icons);
    EXPECT_EQ(dialog.windowTitle(), "About Quorvin");
    EXPECT_EQ(dialog.findChild<QLabel*>("versionLine")->text(), "Quorvin 1.2");
    EXPECT_EQ(dialog.findChild<QLabel*>("aboutText")->text(), "A line.");
    EXPECT_FALSE(dialog.findChild<QLabel*>("leftIcon")->pixmap().isNull());
    EXPECT_FALSE(dialog.findChild<QLabel*>("rightIcon")->pixmap().isNull());
    dialog.grab().save("about-quorvin.png");
    dialog.show();
    dialog.findChild<QPushButton*>("IDOK")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
