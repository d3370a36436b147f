#include "unit_panel.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include "../main_window.h"
#include "config/numbers.h"

namespace vanter::app {

UnitPanel::UnitPanel(TVante3_0& window, int slot) : window_(window), slot_(slot) {}

void UnitPanel::panelSwitch() {
    switchedOn_ = !switchedOn_;
    showSwitched(switchedOn_);
}

void UnitPanel::showSwitched(bool on) {
    const TVante3_0::UnitControls& unit = window_.unit(slot_);
    for (QLabel* label : {unit.eprom, unit.fileFormat, unit.addrLabel, unit.filename}) {
        if (on) {
            // An empty palette follows the window's text colour again.
            label->setPalette(QPalette());
        } else {
            QPalette grey = label->palette();
            grey.setColor(QPalette::WindowText, QColor(128, 128, 128));
            label->setPalette(grey);
        }
    }
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
        window_.unit(slot_).filenameEdit->setText(window_.OpenDialog->fileName());
    }
}

void UnitPanel::checkFileName() {
    QLineEdit* edit = window_.unit(slot_).filenameEdit;
    const QString name = edit->text();
    if (name.isEmpty()) {
        return;
    }
    QFile file(name);
    if (QFileInfo(name).isDir() || !file.open(QIODevice::ReadOnly)) {
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
