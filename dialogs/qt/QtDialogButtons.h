#pragma once

#include <QVBoxLayout>

class QDialog;
class QPushButton;

// The button column at the right of a dialog: OK (the default button, object name "IDOK")
// above Cancel ("IDCANCEL"), then room for more below. OK accepts the dialog and Cancel
// rejects it.
class CQtDialogButtons : public QVBoxLayout {
public:
    explicit CQtDialogButtons(QDialog& dialog);

    QPushButton* Ok() const { return m_ok; }
    QPushButton* Cancel() const { return m_cancel; }

private:
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
