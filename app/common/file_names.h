#pragma once

// File names the user typed or chose, on their way to the standard library and back. A name
// that starts with ':' is a file like any other, never one of Qt's resources.

#include <QString>

#include <filesystem>

namespace vanter::app {

// A file name from a dialog or the window as the standard library takes it.
std::filesystem::path toPath(const QString& name);

// The full name of the file, as the user reads it; a relative name is in the working folder.
QString absoluteFileName(const QString& name);

} // namespace vanter::app
