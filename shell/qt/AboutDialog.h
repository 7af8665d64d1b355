#pragma once

#include <QDialog>

#include "shell/Desktop.h"

class CIconLibrary;

// The About box: an icon at the left, the program and version line with one more line of
// text below it, an icon at the right, and an OK button.
class CAboutDialog : public QDialog {
public:
    CAboutDialog(const AboutInfo& about, CIconLibrary& icons, QWidget* parent = nullptr);
};
