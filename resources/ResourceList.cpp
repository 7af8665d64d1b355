#include "resources/ResourceList.h"

#include <QSaveFile>
#include <QTextStream>

#include "resources/IconCatalog.h"

QByteArray ResourceListText(const QString& program) {
    QByteArray text;
    QTextStream out(&text);
    out << "<!DOCTYPE RCC>\n"
        << "<!-- Written by draw_icons (IconPainter.cpp): redraw the icons, do not edit. -->\n"
        << "<RCC version=\"1.0\">\n"
        << "    <qresource prefix=\"/" << program << "\">\n";
    for (const IconEntry& icon : IconCatalog()) {
        if (program != QLatin1String(icon.program)) {
            continue;
        }
        for (const int size : kIconSizesPx) {
            out << "        <file alias=\"icons/" << icon.resourceId << '/' << size
                << ".png\">icons/" << IconFileName(icon, size) << "</file>\n";
        }
    }
    out << "    </qresource>\n"
        << "</RCC>\n";
    out.flush();
    return text;
}

bool WriteResourceList(const QString& path, const QString& program) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(ResourceListText(program)) >= 0 &&
           file.commit();
}
