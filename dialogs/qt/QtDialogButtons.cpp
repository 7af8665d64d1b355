#include "dialogs/qt/QtDialogButtons.h"

#include <QDialog>
#include <QPushButton>

CQtDialogButtons::CQtDialogButtons(QDialog& dialog)
    : m_ok(new QPushButton(QStringLiteral("OK"))),
      m_cancel(new QPushButton(QStringLiteral("Cancel"))) {
    m_ok->setObjectName(QStringLiteral("IDOK"));
    m_ok->setDefault(true);
    m_cancel->setObjectName(QStringLiteral("IDCANCEL"));
    QObject::connect(m_ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(m_cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    addWidget(m_ok);
    addWidget(m_cancel);
    addStretch(1);
}
