// draw_icons: draws every tray and About icon of Nimbrel and Quorvin at each size in
// kIconSizesPx and writes them, with the two resource lists that embed them, into a
// resources folder, and each program's icon also at kMenuIconSizePx for desktop menus:
//
//     draw_icons <resources-folder> [--preview <sheet.png>]
//
// The drawing code is the source of the icons; the PNG files and resource lists it writes
// are kept in the repository so that building the programs needs no drawing step. Run it
// on this folder after changing a drawing, and look at the preview sheet before keeping
// the result.

#include <cstdio>

#include <QDir>
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

bool WriteIcon(const QDir& iconsFolder, const IconEntry& icon, int size) {
    const QString path = iconsFolder.filePath(IconFileName(icon, size));
    return RenderIcon(icon, size).save(path, "PNG") || Fail("cannot write " + path);
}

bool WriteIcons(const QDir& iconsFolder) {
    for (const IconEntry& icon : IconCatalog()) {
        for (const int size : kIconSizesPx) {
            if (!WriteIcon(iconsFolder, icon, size)) {
                return false;
            }
        }
        if (icon.resourceId == kProgramIconId && !WriteIcon(iconsFolder, icon, kMenuIconSizePx)) {
            return false;
        }
    }
    return true;
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

}  // namespace

int main(int argc, char** argv) {
    const bool withPreview = argc == 4 && QString(argv[2]) == "--preview";
    if (argc != 2 && !withPreview) {
        std::fprintf(stderr, "usage: draw_icons <resources-folder> [--preview <sheet.png>]\n");
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
