#pragma once

#include <array>
#include <span>

#include <QImage>
#include <QString>

class QPainter;

// The sizes panels and dialogs ask for: 16 and 22 px tray slots, 24 px on larger panels,
// 32 and 48 px for the About dialog and high-density screens. Each is drawn on its own.
inline constexpr std::array<int, 5> kIconSizesPx = {16, 22, 24, 32, 48};

// Each program's own icon (resource 128) is drawn once more, large, for desktop menus and
// launchers; the programs themselves never show it.
inline constexpr int kProgramIconId = 128;
inline constexpr int kMenuIconSizePx = 256;

// One icon resource of one program, with the routine that draws it at a given size.
struct IconEntry {
    const char* program;  // "nimbrel" or "quorvin", the resource prefix
    int resourceId;
    void (*draw)(QPainter& painter, int size);
};

// Every icon of both programs, Nimbrel's first, each program's in resource id order.
std::span<const IconEntry> IconCatalog();

// The icon at one size, antialiased on a transparent background.
QImage RenderIcon(const IconEntry& icon, int size);

// "nimbrel-131-16.png": the file of one icon at one size, inside the icons folder.
QString IconFileName(const IconEntry& icon, int size);
