// draw_icons: draws every tray and About icon of Nimbrel and Quorvin at each size in
// kIconSizesPx and writes them, with the two resource lists that embed them, into a
// resources folder, and each program's icon also at kMenuIconSizePx for desktop menus:
//
//     draw_icons <resources-folder> [--preview <sheet.png>]
//     draw_icons --check <resources-folder>
//
// The drawing code is the source of the icons; the PNG files and resource lists it writes
// are kept in the repository so that building the programs needs no drawing step. Run it
// on this folder after changing a drawing, and look at the preview sheet before keeping
// the result. --check draws every icon in memory and compares it, pixel for pixel, and each
// resource list byte for byte, with what the folder holds; the test suite runs it, so the
// kept files never drift from their drawing.

#include <cstdio>
#include <functional>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>

#include "resources/IconCatalog.h"
#include "resources/PreviewSheet.h"
#include "resources/ResourceList.h"

namespace {

constexpr const char* kPrograms[] = {"nimbrel", "quorvin"};

bool Fail(const QString& what) {
    std::fprintf(stderr, "draw_icons: %s\n", qPrintable(what));
    return false;
}

using IconStep = std::function<bool(const IconEntry& icon, int size)>;

// Runs `step` for every file of the icons folder; stops at the first that fails.
bool ForEachIconFile(const IconStep& step) {
    for (const IconEntry& icon : IconCatalog()) {
        for (const int size : kIconSizesPx) {
            if (!step(icon, size)) {
                return false;
            }
        }
        if (icon.resourceId == kProgramIconId && !step(icon, kMenuIconSizePx)) {
            return false;
        }
    }
    return true;
}

bool WriteIcons(const QDir& iconsFolder) {
    return ForEachIconFile([&](const IconEntry& icon, int size) {
        const QString path = iconsFolder.filePath(IconFileName(icon, size));
        return RenderIcon(icon, size).save(path, "PNG") || Fail("cannot write " + path);
    });
}

bool WriteResourceLists(const QDir& resources) {
    for (const char* program : kPrograms) {
        const QString path = resources.filePath(QString(program) + ".qrc");
        if (!WriteResourceList(path, program)) {
            return Fail("cannot write " + path);
        }
    }
    return true;
}

// Every kept icon shows exactly what its drawing draws; each one that does not is named.
bool CheckIcons(const QDir& iconsFolder) {
    bool allSame = true;
    ForEachIconFile([&](const IconEntry& icon, int size) {
        const QString path = iconsFolder.filePath(IconFileName(icon, size));
        const QImage kept(path);
        const QImage drawn = RenderIcon(icon, size);
        if (kept.isNull()) {
            allSame = Fail("cannot read " + path);
        } else if (kept.convertToFormat(QImage::Format_ARGB32) !=
                   drawn.convertToFormat(QImage::Format_ARGB32)) {
            allSame = Fail(path + " differs from its drawing: redraw the icons");
        }
        return true;
    });
    return allSame;
}

bool CheckResourceLists(const QDir& resources) {
    bool allSame = true;
    for (const char* program : kPrograms) {
        const QString path = resources.filePath(QString(program) + ".qrc");
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.readAll() != ResourceListText(program)) {
            allSame = Fail(path + " differs from the icon catalogue: redraw the icons");
        }
    }
    return allSame;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && QString(argv[1]) == "--check") {
        const QDir resources(QString::fromLocal8Bit(argv[2]));
        const bool iconsSame = CheckIcons(QDir(resources.filePath("icons")));
        return iconsSame && CheckResourceLists(resources) ? 0 : 1;
    }
    const bool withPreview = argc == 4 && QString(argv[2]) == "--preview";
    if (argc != 2 && !withPreview) {
        std::fprintf(stderr,
                     "usage: draw_icons <resources-folder> [--preview <sheet.png>]\n"
                     "       draw_icons --check <resources-folder>\n");
        return 2;
    }
    const QDir resources(QString::fromLocal8Bit(argv[1]));
    if (!resources.mkpath("icons")) {
        Fail("cannot create " + resources.filePath("icons"));
        return 1;
    }
    if (!WriteIcons(QDir(resources.filePath("icons"))) || !WriteResourceLists(resources)) {
        return 1;
    }
    if (withPreview) {
        const QString sheet = QString::fromLocal8Bit(argv[3]);
        if (!ComposePreviewSheet().save(sheet, "PNG")) {
            Fail("cannot write " + sheet);
            return 1;
        }
    }
    return 0;
}
