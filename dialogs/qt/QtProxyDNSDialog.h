#pragma once

#include <QDialog>

#include "dialogs/qt/QtDialogControls.h"

class CProxyDNSDialog;

// The window of "Configure Proxied DNS servers": three framed columns ("Proxy to:", "If
// passed:", "If not named:") of five aligned rows, OK and Cancel at the right. Control ids
// are the widgets' object names. The dialog logic fills it when it is built, hears every
// address field change, and writes the profile at OK; Cancel or closing writes nothing.
class CQtProxyDNSDialog : public QDialog {
public:
    // `logic` is not owned and must outlive the window.
    explicit CQtProxyDNSDialog(const CProxyDNSDialog& logic, QWidget* parent = nullptr);

    void accept() override;

private:
    const CProxyDNSDialog& m_logic;
    CQtDialogControls m_controls;
};
