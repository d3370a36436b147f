#pragma once

// File names the user typed or chose, on their way to the standard library and the driver
// library and back. A name that starts with ':' is a file like any other, never one of Qt's
// resources.

#include <QString>

#include <filesystem>
#include <optional>
#include <string>

namespace vanter::app {

// A file name from a dialog or the window as the standard library takes it, with the
// platform's separators, so that messages name it as the user writes it.
std::filesystem::path toPath(const QString& name);

// The full name of the file, as the user reads it; a relative name is in the working folder.
QString absoluteFileName(const QString& name);

// A name the dialog returned, as the file name edit shows it: the platform's separators, and
// on Windows a name that the code page holds exactly (the short form where the long one has
// letters the code page lacks), so that the driver library gets the very file chosen.
QString chosenFileName(const QString& name);

// The text of a file name edit as the driver library receives it, in the 8-bit code page:
// exactly, or nothing when the code page lacks one of its characters.
std::optional<std::string> exactDriverName(const QString& text);
// The same, a character the code page lacks becoming '?'.
std::string driverName(const QString& text);

} // namespace vanter::app
