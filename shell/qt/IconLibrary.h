#pragma once

#include <QIcon>
#include <QString>
#include <map>

// A program's icon resources, each loaded once, from every size drawn for it, and reused
// for the life of the program.
class CIconLibrary {
public:
    // `program` names the resource folder, e.g. "nimbrel" for ":/nimbrel/icons/<id>/<size>.png".
    explicit CIconLibrary(QString program);

    // The icon with this resource id; a null icon when there is none.
    const QIcon& Icon(int resourceId);
    bool Has(int resourceId) { return !Icon(resourceId).isNull(); }

private:
    QString m_program;
    std::map<int, QIcon> m_icons;
};
