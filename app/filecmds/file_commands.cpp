#include "file_commands.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

#include <span>
#include <string_view>

#include "../file_names.h"
#include "../main_window.h"
#include "../panels/unit_panel.h"
#include "../qt_compat.h"
#include "config/errors.h"
#include "config/in3_file.h"
#include "config/values.h"

namespace vanter::app {

namespace {

// "VANTER III  v3.b3  -- ": the part of the caption that stays when a file name is shown.
constexpr int kCaptionPrefixLength = 22;

int position(std::span<const std::string_view> entries, std::string_view entry) {
    return vanter::listPosition(entries, entry);
}

} // namespace

FileCommands::FileCommands(TVante3_0& window) : window_(window) {}

void FileCommands::showFileName(const QString& name) {
    window_.setWindowTitle(window_.windowTitle().left(kCaptionPrefixLength) + name);
}

void FileCommands::readFile(const QString& name) {
    // On an error the controls keep their values: nothing is shown before the whole file
    // has been read.
    vanter::Configuration config = window_.configuration();
    vanter::readConfigurationFile(toPath(name), config);
    window_.showConfiguration(config);
}

SaveOutcome FileCommands::writeFile(const QString& name) {
    try {
        vanter::writeConfigurationFile(toPath(name), window_.configuration());
    } catch (const vanter::FileError& error) {
        // The previous file is left as it was, and the window keeps its values.
        window_.messageBox(QStringLiteral("The configuration was not saved to \"%1\".\n%2")
                               .arg(QDir::toNativeSeparators(absoluteFileName(name)),
                                    QString::fromLocal8Bit(error.what())));
        return SaveOutcome::NotSaved;
    }
    return SaveOutcome::Saved;
}

bool FileCommands::refuseWithoutUnit() {
    if (window_.configuration().anyEnabled()) {
        return false;
    }
    window_.messageBox(fromLatin1(vanter::kNoVanterSelected));
    return true;
}

void FileCommands::initialise() {
    window_.setMessageCaption(QStringLiteral("VanterIII Message"));
    window_.setCurrentFileName(QString::fromLatin1(kDefaultFileName));
    // A folder of that name does not count.
    if (QFileInfo(window_.currentFileName()).isFile()) {
        showFileName(window_.currentFileName());
        window_.SaveDialog->setFileName(window_.currentFileName());
        readFile(window_.currentFileName());
        return;
    }
    setDefaultConfiguration();
}

void FileCommands::setDefaultConfiguration() {
    // Checking slot #0 switches its panel on if it was off.
    window_.unit(0).vanter->setChecked(true);
    for (int slot = 1; slot < vanter::kSlotCount; ++slot) {
        // Unchecking runs the slot's panel switch only if it was checked; the panel is then
        // shown off whatever it showed before.
        window_.unit(slot).vanter->setChecked(false);
        window_.panel(slot).showSwitched(false);
    }
    window_.PrinterCombo->setCurrentIndex(position(vanter::kPortEntries, "0x3BC"));
    window_.ResetCombo->setCurrentIndex(position(vanter::kResetEntries, "Low"));
    for (int slot = 0; slot < vanter::kSlotCount; ++slot) {
        window_.unit(slot).epromCombo->setCurrentIndex(position(vanter::kMemoryTypes, "27010"));
        window_.unit(slot).formatCombo->setCurrentIndex(position(vanter::kFileFormats, "Binary"));
    }
    for (int slot = 0; slot < vanter::kSlotCount; ++slot) {
        window_.unit(slot).addrEdit->setText(QStringLiteral("0x0000"));
        window_.unit(slot).filenameEdit->setText(QString());
    }
}

void FileCommands::newFile() {
    initialise();
}

void FileCommands::open() {
    window_.OpenDialog->setFileName(QString());
    if (!window_.OpenDialog->execute()) {
        return;
    }
    // The names change before the file is read and stay changed if reading fails.
    const QString name = window_.OpenDialog->fileName();
    window_.setCurrentFileName(name);
    showFileName(name);
    window_.SaveDialog->setFileName(name);
    readFile(name);
}

SaveOutcome FileCommands::save() {
    if (refuseWithoutUnit()) {
        return SaveOutcome::Refused;
    }
    if (window_.SaveDialog->fileName().isEmpty()) {
        // No file named yet: ask for one rather than drop the user's work.
        return chooseAndWrite();
    }
    return writeFile(window_.SaveDialog->fileName());
}

SaveOutcome FileCommands::saveAs() {
    if (refuseWithoutUnit()) {
        return SaveOutcome::Refused;
    }
    return chooseAndWrite();
}

SaveOutcome FileCommands::chooseAndWrite() {
    window_.SaveDialog->setTitle(QStringLiteral("Save As"));
    if (!window_.SaveDialog->execute()) {
        return SaveOutcome::NotSaved;
    }
    // The name as confirmed: no extension added; an existing file is replaced.
    const QString name = window_.SaveDialog->fileName();
    window_.setCurrentFileName(name);
    showFileName(name);
    return writeFile(name);
}

} // namespace vanter::app
