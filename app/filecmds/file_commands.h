#pragma once

// The initialisation step and the commands of the IniFile menu.

#include <QString>

class TVante3_0;

namespace vanter::app {

// The name of the default configuration file, looked for in the working directory.
inline constexpr const char* kDefaultFileName = "Vanter.in3";

// What became of a Save: the Close button closes the window unless nothing was written.
enum class SaveOutcome {
    Saved,    // the configuration file was written
    Refused,  // no slot enabled: there is nothing to save
    NotSaved, // the dialog was cancelled, or writing failed (the user was told)
};

class FileCommands {
public:
    explicit FileCommands(TVante3_0& window);

    // Message caption, current file name, then the default configuration file or defaults.
    // A default file that can't be read raises the conversion error.
    void initialise();
    void newFile();
    void open();
    // With no file named yet, Save asks for one as Save As does.
    SaveOutcome save();
    SaveOutcome saveAs();

private:
    // The caption's fixed part followed by `name`.
    void showFileName(const QString& name);
    void setDefaultConfiguration();
    void readFile(const QString& name);
    // The name chosen in the save dialog, then the file written; after the refusal test.
    SaveOutcome chooseAndWrite();
    SaveOutcome writeFile(const QString& name);
    bool refuseWithoutUnit();

    TVante3_0& window_;
};

} // namespace vanter::app
