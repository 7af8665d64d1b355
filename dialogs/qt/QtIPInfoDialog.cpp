#include "dialogs/qt/QtIPInfoDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/IPInfoDialog.h"
#include "dialogs/qt/IpAddressEdit.h"
#include "dialogs/qt/QtDialogButtons.h"

namespace {

constexpr const char* kTitle = "IP Information";
// The list shows this many entries without scrolling.
constexpr int kVisibleAddresses = 5;

}  // namespace

CQtIPInfoDialog::CQtIPInfoDialog(CIPInfoDialog& logic, QWidget* parent)
    : QDialog(parent), m_logic(logic), m_controls(*this) {
    setObjectName(QString::number(CIPInfoDialog::kTemplateId));
    setWindowTitle(QString::fromLatin1(kTitle));

    auto* frame = new QGroupBox(QStringLiteral("IP Address:"));
    frame->setObjectName(QString::number(CIPInfoDialog::kAddressFrame));
    auto* resolveToLocal = new QCheckBox(QStringLiteral("&Resolve to LOCALHOST"));
    resolveToLocal->setObjectName(QString::number(CIPInfoDialog::kResolveToLocalBox));
    resolveToLocal->setEnabled(false);
    auto* address = new CIpAddressEdit;
    address->setObjectName(QString::number(CIPInfoDialog::kResolveToAddress));
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(resolveToLocal);
    frameLayout->addWidget(address);

    auto* listLabel = new QLabel(QStringLiteral("Available Machine IP addresses:"));
    auto* list = new QListWidget;
    list->setObjectName(QString::number(CIPInfoDialog::kMachineAddressList));
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setFixedHeight(list->fontMetrics().lineSpacing() * kVisibleAddresses +
                         2 * list->frameWidth());
    listLabel->setBuddy(list);

    auto* currentIPs = new QPushButton(QStringLiteral("Current IP(s)"));
    currentIPs->setObjectName(QString::number(CIPInfoDialog::kCurrentIPsButton));
    connect(currentIPs, &QPushButton::clicked, this, [this] { m_logic.OnCurrentIPs(m_controls); });

    auto* buttons = new CQtDialogButtons(*this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(frame, 0, 0);
    layout->addLayout(buttons, 0, 1);
    layout->addWidget(listLabel, 1, 0);
    layout->addWidget(list, 2, 0);
    layout->addWidget(currentIPs, 2, 1, Qt::AlignTop);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Only now do all controls belong to this window, as the tab order requires.
    setTabOrder(list, currentIPs);
    setTabOrder(currentIPs, buttons->Ok());
    setTabOrder(buttons->Ok(), buttons->Cancel());

    m_logic.OnInitDialog(m_controls);
}

CQtIPInfoDialog::~CQtIPInfoDialog() {
    // The list goes with the window: a late answer must not reach it.
    m_logic.OnClosed();
}

void CQtIPInfoDialog::accept() {
    m_logic.OnOK(m_controls);
    QDialog::accept();
}
