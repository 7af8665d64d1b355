#pragma once

#include "dialogs/DialogControls.h"

class QWidget;

// The controls of a Qt dialog for the dialog logic: each control is the child widget whose
// object name is its id ("1004"). An id without such a widget, or a request the widget
// cannot carry out, is ignored (and reads as 0 or unchecked).
class CQtDialogControls : public IDialogControls {
public:
    // `dialog` is not owned and must outlive this object.
    explicit CQtDialogControls(QWidget& dialog);

    std::uint32_t GetAddress(int id) const override;
    void SetAddress(int id, std::uint32_t address) override;
    void SetCaption(int id, const std::string& text) override;
    void Enable(int id, bool enabled) override;
    void SetCheck(int id, bool checked) override;
    bool IsChecked(int id) const override;
    void ResetContent(int id) override;
    void AddString(int id, const std::string& text) override;

private:
    template <typename Widget>
    Widget* Find(int id) const;

    QWidget& m_dialog;
};
