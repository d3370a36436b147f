#pragma once

// Whole files by name, and a fresh working folder per test, for the Qt tests.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace vanter::testing {

// Writes `bytes` as the whole file; false when it can't be written.
[[nodiscard]] inline bool writeFile(const QString& name, const QByteArray& bytes) {
    QFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The whole file, or "<missing>" when it can't be read.
inline QByteArray readFile(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A new folder under `parent`, the working folder while it lives; the previous working folder
// comes back before the folder is removed.
class WorkingFolder {
public:
    explicit WorkingFolder(const QString& parent = QDir::tempPath())
        : folder_(parent + QStringLiteral("/work-XXXXXX")), previous_(QDir::currentPath()) {
        if (folder_.isValid()) {
            QDir::setCurrent(folder_.path());
        }
    }
    ~WorkingFolder() { QDir::setCurrent(previous_); }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

    bool isValid() const { return folder_.isValid(); }
    QString path() const { return folder_.path(); }
    QString file(const QString& name) const { return folder_.filePath(name); }

private:
    QTemporaryDir folder_;
    QString previous_;
};

} // namespace vanter::testing
