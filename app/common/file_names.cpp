#include "file_names.h"

#include <QDir>
#include <QFileInfo>

#include "fs/native_name.h"

namespace vanter::app {

namespace {

// The text itself, separators as typed.
std::filesystem::path asTyped(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}

} // namespace

std::filesystem::path toPath(const QString& name) {
    return asTyped(QDir::toNativeSeparators(name));
}

QString absoluteFileName(const QString& name) {
    // Qt takes ":name" for a resource, "./:name" for the file.
    const bool resourceLike = name.startsWith(QLatin1Char(':'));
    return QFileInfo(resourceLike ? QStringLiteral("./") + name : name).absoluteFilePath();
}

QString chosenFileName(const QString& name) {
    const QString native = QDir::toNativeSeparators(absoluteFileName(name));
    const std::filesystem::path path = toPath(native);
    const std::optional<std::filesystem::path> held = vanter::nameInCodePage(path);
    // Not held at all: shown as chosen, and refused when the edit is left.
    if (!held || *held == path) {
        return native;
    }
    return QString::fromStdU16String(held->u16string());
}

std::optional<std::string> exactDriverName(const QString& text) {
    return vanter::exactNativeName(asTyped(text));
}

std::string driverName(const QString& text) {
    return vanter::nativeName(asTyped(text));
}

} // namespace vanter::app
