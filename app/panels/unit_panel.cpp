#include "unit_panel.h"

#include <QColor>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include <initializer_list>

#include "../file_names.h"
#include "../main_window.h"
#include "config/numbers.h"
#include "config/regular_file.h"
#include "oem_typing.h"

namespace vanter::app {

namespace {

const QColor kGrey(128, 128, 128);

} // namespace

UnitPanel::UnitPanel(TVante3_0& window, int slot) : window_(window), slot_(slot) {
    keepTypedToOemCodePage(window_.unit(slot_).filenameEdit);
}

void UnitPanel::panelSwitch() {
    switchedOn_ = !switchedOn_;
    showSwitched(switchedOn_);
}

void UnitPanel::showSwitched(bool on) {
    const TVante3_0::UnitControls& unit = window_.unit(slot_);
    // The labels are never disabled: only their colour tells.
    for (QLabel* label : {unit.eprom, unit.fileFormat, unit.addrLabel, unit.filename}) {
        if (on) {
            // No colour of its own: the label follows the system's window-text colour.
            label->setPalette(QPalette());
        } else {
            QPalette grey;
            grey.setColor(QPalette::WindowText, kGrey);
            label->setPalette(grey);
        }
    }
    // Disabling keeps the values: they come back unchanged with the panel.
    for (QWidget* control : std::initializer_list<QWidget*>{
             unit.epromCombo, unit.formatCombo, unit.addrEdit, unit.filenameEdit, unit.browseBtn}) {
        control->setEnabled(on);
    }
}

void UnitPanel::labelSwitch() {
    const TVante3_0::UnitControls& unit = window_.unit(slot_);
    unit.addrLabel->setText(unit.formatCombo->currentText() == QLatin1String("Binary")
                                ? QStringLiteral("Loading offset at EPROM socket")
                                : QStringLiteral("Target System address of EPROM"));
}

void UnitPanel::browse() {
    window_.OpenDialog->setFileName(QString());
    if (window_.OpenDialog->execute()) {
        // Also a name typed into the dialog that does not exist; it is checked on exit only.
        window_.unit(slot_).filenameEdit->setText(absoluteFileName(window_.OpenDialog->fileName()));
    }
}

void UnitPanel::checkFileName() {
    QLineEdit* edit = window_.unit(slot_).filenameEdit;
    const QString name = edit->text();
    if (name.isEmpty()) {
        return;
    }
    // Opened for reading only, neither created nor read. Only a regular file counts: a folder,
    // a named pipe or a device does not, and finding that out never waits.
    if (!vanter::RegularFile(toPath(name)).isOpen()) {
        window_.messageBox(QStringLiteral("Invalid Filename"));
        edit->setText(QString());
    }
}

void UnitPanel::checkOffset() {
    QLineEdit* edit = window_.unit(slot_).addrEdit;
    if (!vanter::isAcceptableOffset(edit->text().toLocal8Bit().toStdString())) {
        window_.messageBox(QStringLiteral("Invalid HEX number"));
        edit->setText(QStringLiteral("0"));
    }
}

} // namespace vanter::app
