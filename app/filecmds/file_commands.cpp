#include "file_commands.h"

#include <QDir>
#include <QFileInfo>

#include "app/common/dialogs.h"
#include "app/common/file_names.h"
#include "app/common/qt_compat.h"
#include "config/errors.h"
#include "config/in3_file.h"
#include "configuration_form.h"

namespace vanter::app {

FileCommands::FileCommands(ConfigurationForm& form, FileDialog& openDialog, FileDialog& saveDialog)
    : form_(form), openDialog_(openDialog), saveDialog_(saveDialog) {}

void FileCommands::showFileName(const QString& name) {
    // As Windows users write names: C:\boards\rom.in3, not C:/boards/rom.in3.
    form_.setCaption(form_.caption().left(static_cast<qsizetype>(kCaptionFixedPart.size())) +
                     QDir::toNativeSeparators(name));
}

void FileCommands::readFile(const QString& name) {
    // On an error the controls keep their values: nothing is shown before the whole file
    // has been read.
    vanter::Configuration config = form_.configuration();
    vanter::readConfigurationFile(toPath(name), config);
    form_.showConfiguration(config);
}

SaveOutcome FileCommands::writeFile(const QString& name) {
    try {
        vanter::writeConfigurationFile(toPath(name), form_.configuration());
    } catch (const vanter::FileError& error) {
        // The previous file is left as it was, and the window keeps its values.
        form_.tell(QStringLiteral("The configuration was not saved to \"%1\".\n%2")
                       .arg(QDir::toNativeSeparators(absoluteFileName(name)),
                            QString::fromLocal8Bit(error.what())));
        return SaveOutcome::NotSaved;
    }
    return SaveOutcome::Saved;
}

bool FileCommands::refuseWithoutUnit() {
    if (form_.configuration().anyEnabled()) {
        return false;
    }
    form_.tell(fromLatin1(vanter::kNoVanterSelected));
    return true;
}

void FileCommands::initialise() {
    form_.setMessageCaption(QStringLiteral("VanterIII Message"));
    form_.setCurrentFileName(QString::fromLatin1(kDefaultFileName));
    // A folder of that name does not count.
    if (QFileInfo(form_.currentFileName()).isFile()) {
        showFileName(form_.currentFileName());
        saveDialog_.setFileName(form_.currentFileName());
        readFile(form_.currentFileName());
        return;
    }
    setDefaultConfiguration();
}

void FileCommands::setDefaultConfiguration() {
    // Checking slot #0 switches its panel on if it was off; the other slots are shown off.
    form_.showWholeConfiguration(vanter::Configuration::defaults());
}

void FileCommands::newFile() {
    initialise();
}

void FileCommands::open() {
    openDialog_.setFileName(QString());
    if (!openDialog_.execute()) {
        return;
    }
    // The names change before the file is read and stay changed if reading fails.
    const QString name = openDialog_.fileName();
    form_.setCurrentFileName(name);
    showFileName(name);
    saveDialog_.setFileName(name);
    readFile(name);
}

SaveOutcome FileCommands::save() {
    if (refuseWithoutUnit()) {
        return SaveOutcome::Refused;
    }
    if (saveDialog_.fileName().isEmpty()) {
        // No file named yet: ask for one rather than drop the user's work.
        return chooseAndWrite();
    }
    return writeFile(saveDialog_.fileName());
}

SaveOutcome FileCommands::saveAs() {
    if (refuseWithoutUnit()) {
        return SaveOutcome::Refused;
    }
    return chooseAndWrite();
}

SaveOutcome FileCommands::chooseAndWrite() {
    saveDialog_.setTitle(QStringLiteral("Save As"));
    if (!saveDialog_.execute()) {
        return SaveOutcome::NotSaved;
    }
    // The name as confirmed: no extension added; an existing file is replaced.
    const QString name = saveDialog_.fileName();
    form_.setCurrentFileName(name);
    showFileName(name);
    return writeFile(name);
}

} // namespace vanter::app
