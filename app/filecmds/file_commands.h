#pragma once

// The initialisation step and the commands of the IniFile menu.

#include <QString>

#include <filesystem>

class TVante3_0;

namespace vanter::app {

// The name of the default configuration file, looked for in the working directory.
inline constexpr const char* kDefaultFileName = "Vanter.in3";

class FileCommands {
public:
    explicit FileCommands(TVante3_0& window);

    // Message caption, current file name, then the default configuration file or defaults.
    void initialise();
    void newFile();
    void open();
    void save();
    void saveAs();

private:
    // The caption's fixed part followed by `name`.
    void showFileName(const QString& name);
    void readFile(const QString& name);
    void writeFile(const QString& name);
    bool refuseWithoutUnit();

    TVante3_0& window_;
};

// A file name from a dialog or the window as the standard library takes it.
std::filesystem::path toPath(const QString& name);

} // namespace vanter::app
