#pragma once

// The initialisation step and the commands of the IniFile menu, working on the configuration
// form through its interface.

#include <QString>

namespace vanter::app {

class ConfigurationForm;
class FileDialog;

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
    // Open and Save As show the two dialogs; the save dialog's name is the file Save writes.
    FileCommands(ConfigurationForm& form, FileDialog& openDialog, FileDialog& saveDialog);

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

    ConfigurationForm& form_;
    FileDialog& openDialog_;
    FileDialog& saveDialog_;
};

} // namespace vanter::app
