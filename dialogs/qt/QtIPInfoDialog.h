#pragma once

#include <QDialog>

#include "dialogs/qt/QtDialogControls.h"

class CIPInfoDialog;

// The window of "IP Information": the greyed "Resolve to LOCALHOST" box and address in the
// "IP Address:" frame, the list of this machine's addresses with "Current IP(s)" beside it,
// and OK and Cancel at the right. Control ids are the widgets' object names. The dialog
// logic fills it when it is built (and stores its keys then), refills the list on "Current
// IP(s)", and stores the keys again at OK.
class CQtIPInfoDialog : public QDialog {
public:
    // `logic` is not owned and must outlive the window.
    explicit CQtIPInfoDialog(CIPInfoDialog& logic, QWidget* parent = nullptr);
    ~CQtIPInfoDialog() override;

    void accept() override;

private:
    CIPInfoDialog& m_logic;
    CQtDialogControls m_controls;
};
