#pragma once

#include <QByteArray>
#include <QString>

// The Qt resource list of one program's icons: every size of every icon under the prefix
// "/<program>", aliased "icons/<id>/<size>.png", so that the desktop layer can build one
// QIcon per resource id from all its sizes. The PNG files are named relative to the list,
// in its "icons" folder.
QByteArray ResourceListText(const QString& program);

// Writes ResourceListText(program) to `path`; false when the file cannot be written.
bool WriteResourceList(const QString& path, const QString& program);
