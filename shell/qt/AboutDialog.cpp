#include "shell/qt/AboutDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/qt/IconLibrary.h"

namespace {

constexpr int kIconSize = 32;

QLabel* IconLabel(CIconLibrary& icons, int resourceId, const char* name) {
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setPixmap(icons.Icon(resourceId).pixmap(kIconSize, kIconSize));
    label->setAlignment(Qt::AlignTop);
    return label;
}

}  // namespace

CAboutDialog::CAboutDialog(const AboutInfo& about, CIconLibrary& icons, QWidget* parent)
    : QDialog(parent) {
    setObjectName("100");
    setWindowTitle(QString::fromLocal8Bit(about.title.c_str()));

    auto* version = new QLabel(QString::fromLocal8Bit(about.versionLine.c_str()));
    version->setObjectName("versionLine");
    QFont bold = version->font();
    bold.setBold(true);
    version->setFont(bold);
    auto* text = new QLabel(QString::fromLocal8Bit(about.text.c_str()));
    text->setObjectName("aboutText");

    auto* lines = new QVBoxLayout;
    lines->addWidget(version);
    lines->addWidget(text);
    lines->addStretch();

    auto* row = new QHBoxLayout;
    row->setSpacing(16);
    row->addWidget(IconLabel(icons, about.leftIcon, "leftIcon"));
    row->addLayout(lines, 1);
    row->addWidget(IconLabel(icons, about.rightIcon, "rightIcon"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("IDOK");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
