#include "dialogs/qt/QtProxyDNSDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

#include "dialogs/ProxyDNSDialog.h"
#include "dialogs/qt/IpAddressEdit.h"
#include "dialogs/qt/QtDialogButtons.h"

namespace {

constexpr const char* kTitle = "Configure Proxied DNS servers";
// The widest caption a server box shows.
constexpr const char* kWidestAddress = "255.255.255.255";

QGroupBox* Column(const char* title, int id, QHBoxLayout& into) {
    auto* frame = new QGroupBox(QString::fromLatin1(title));
    frame->setObjectName(QString::number(id));
    new QVBoxLayout(frame);
    into.addWidget(frame);
    return frame;
}

QCheckBox* ServerBox(int id, QGroupBox& column) {
    auto* box = new QCheckBox(QString::fromLatin1(kWidestAddress));
    box->setObjectName(QString::number(id));
    // Wide enough for any address, so that the columns keep their width as captions change.
    box->setMinimumWidth(box->sizeHint().width());
    column.layout()->addWidget(box);
    return box;
}

}  // namespace

CQtProxyDNSDialog::CQtProxyDNSDialog(const CProxyDNSDialog& logic, QWidget* parent)
    : QDialog(parent), m_logic(logic), m_controls(*this) {
    setObjectName(QString::number(CProxyDNSDialog::kTemplateId));
    setWindowTitle(QString::fromLatin1(kTitle));

    auto* columns = new QHBoxLayout;
    QGroupBox* proxyTo = Column("Proxy to:", CProxyDNSDialog::kProxyToFrame, *columns);
    QGroupBox* ifPassed = Column("If passed:", CProxyDNSDialog::kIfPassedFrame, *columns);
    QGroupBox* ifNotNamed = Column("If not named:", CProxyDNSDialog::kIfNotNamedFrame, *columns);

    std::vector<QWidget*> tabOrder;
    for (const CProxyDNSDialog::ServerRow& row : CProxyDNSDialog::kServerRows) {
        auto* address = new CIpAddressEdit;
        address->setObjectName(QString::number(row.address));
        proxyTo->layout()->addWidget(address);
        QCheckBox* passed = ServerBox(row.passedBox, *ifPassed);
        QCheckBox* notNamed = ServerBox(row.notNamedBox, *ifNotNamed);
        // One height for the three controls of a row, so rows line up across the columns.
        const int rowHeight = std::max(address->sizeHint().height(), passed->sizeHint().height());
        for (QWidget* control : {static_cast<QWidget*>(address), static_cast<QWidget*>(passed),
                                 static_cast<QWidget*>(notNamed)}) {
            control->setFixedHeight(rowHeight);
        }
        for (int field = 0; field < CIpAddressEdit::kFieldCount; ++field) {
            tabOrder.push_back(address->Field(field));
        }
        tabOrder.push_back(passed);
        tabOrder.push_back(notNamed);
        connect(address, &CIpAddressEdit::fieldChanged, this,
                [this, id = row.address] { m_logic.OnAddressFieldChanged(m_controls, id); });
    }

    auto* buttons = new CQtDialogButtons(*this);
    tabOrder.push_back(buttons->Ok());
    tabOrder.push_back(buttons->Cancel());

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Only now do all controls belong to this window, as the tab order requires.
    for (std::size_t index = 1; index < tabOrder.size(); ++index) {
        setTabOrder(tabOrder[index - 1], tabOrder[index]);
    }

    m_logic.OnInitDialog(m_controls);
}

void CQtProxyDNSDialog::accept() {
    m_logic.OnOK(m_controls);
    QDialog::accept();
}
