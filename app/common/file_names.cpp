#include "file_names.h"

#include <QFileInfo>

namespace vanter::app {

std::filesystem::path toPath(const QString& name) {
    return std::filesystem::path(name.toStdU16String());
}

QString absoluteFileName(const QString& name) {
    // Qt takes ":name" for a resource, "./:name" for the file.
    const bool resourceLike = name.startsWith(QLatin1Char(':'));
    return QFileInfo(resourceLike ? QStringLiteral("./") + name : name).absoluteFilePath();
}

} // namespace vanter::app
