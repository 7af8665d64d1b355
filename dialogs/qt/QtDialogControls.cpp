#include "dialogs/qt/QtDialogControls.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>

#include "dialogs/qt/IpAddressEdit.h"

namespace {

QString FromLocal(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CQtDialogControls::CQtDialogControls(QWidget& dialog) : m_dialog(dialog) {}

template <typename Widget>
Widget* CQtDialogControls::Find(int id) const {
    return m_dialog.findChild<Widget*>(QString::number(id));
}

std::uint32_t CQtDialogControls::GetAddress(int id) const {
    const auto* edit = Find<CIpAddressEdit>(id);
    return edit != nullptr ? edit->Address() : 0;
}

void CQtDialogControls::SetAddress(int id, std::uint32_t address) {
    if (auto* edit = Find<CIpAddressEdit>(id)) {
        edit->SetAddress(address);
    }
}

void CQtDialogControls::SetCaption(int id, const std::string& text) {
    if (auto* button = Find<QAbstractButton>(id)) {
        button->setText(FromLocal(text));
    } else if (auto* frame = Find<QGroupBox>(id)) {
        frame->setTitle(FromLocal(text));
    } else if (auto* label = Find<QLabel>(id)) {
        label->setText(FromLocal(text));
    }
}

void CQtDialogControls::Enable(int id, bool enabled) {
    if (auto* widget = Find<QWidget>(id)) {
        widget->setEnabled(enabled);
    }
}

void CQtDialogControls::SetCheck(int id, bool checked) {
    if (auto* button = Find<QAbstractButton>(id)) {
        button->setChecked(checked);
    }
}

bool CQtDialogControls::IsChecked(int id) const {
    const auto* button = Find<QAbstractButton>(id);
    return button != nullptr && button->isChecked();
}

void CQtDialogControls::ResetContent(int id) {
    if (auto* list = Find<QListWidget>(id)) {
        list->clear();
    }
}

void CQtDialogControls::AddString(int id, const std::string& text) {
    if (auto* list = Find<QListWidget>(id)) {
        list->addItem(FromLocal(text));
    }
}
