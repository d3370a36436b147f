#include "unit_panel.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QValidator>

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

#include "app/common/dialogs.h"
#include "app/common/file_names.h"
#include "app/common/form_controls.h"
#include "config/numbers.h"
#include "config/values.h"
#include "fs/native_name.h"
#include "fs/regular_file.h"
#include "oem_typing.h"

namespace vanter::app {

namespace {

const QColor kGrey(128, 128, 128);
constexpr int kOffsetMaxLength = 10;

// Typing never makes an offset longer than 10 characters, nor longer than a longer text the
// program put in (read from a file), which the user may only shorten; of a longer paste, what
// fits stays. A validator, not the edit's maximum length: that cuts the program's texts, and
// changing it sets the text afresh (caret to the end, selection and undo gone).
class OffsetTypingLimit final : public QValidator {
public:
    explicit OffsetTypingLimit(QLineEdit* edit) : QValidator(edit), edit_(edit) {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) {
            if (!edit_->isModified()) {
                programLength_ = text.size();
            }
            before_ = text;
        });
    }

    State validate(QString& input, int& cursor) const override {
        // The program's own text, also when the user's undo goes back to it, stands as it is.
        const qsizetype limit = std::max<qsizetype>(kOffsetMaxLength, programLength_);
        if (!edit_->isModified() || input.size() <= limit) {
            return Acceptable;
        }
        // The user's insertion ends at the cursor: the text after it was there before, and so
        // was the text before the first character that differs.
        const qsizetype after = input.size() - cursor;
        const qsizetype end =
            std::max<qsizetype>(0, std::min<qsizetype>(cursor, before_.size() - after));
        qsizetype unchanged = 0;
        while (unchanged < end && before_.at(unchanged) == input.at(unchanged)) {
            ++unchanged;
        }
        // The first characters of the insertion, as many as fit; none fit: the change is refused.
        const qsizetype keep = limit - after;
        if (keep <= unchanged) {
            return Invalid;
        }
        input = input.left(keep) + input.right(after);
        cursor = static_cast<int>(keep);
        return Acceptable;
    }

private:
    QLineEdit* edit_;
    qsizetype programLength_ = 0;
    QString before_; // the text before the user's change
};

} // namespace

UnitPanel::UnitPanel(QWidget* clientArea, int slot, FileDialog& openDialog)
    : slot_(slot), openDialog_(openDialog) {
    build(clientArea);
    nameControls();
    keepTypedToOemCodePage(controls_.filenameEdit);
    // Every change of state, also from code; setting the present state raises nothing.
    connect(controls_.vanter, &QCheckBox::toggled, this, &UnitPanel::switchToggled);
    // Only the user's pick; selecting from code raises nothing.
    connect(controls_.formatCombo, qOverload<int>(&QComboBox::activated), this,
            &UnitPanel::formatPicked);
    connect(controls_.browseBtn, &QPushButton::clicked, this, &UnitPanel::browseClicked);
}

void UnitPanel::build(QWidget* client) {
    // Slots #0 and #1 side by side, #2 and #3 below them.
    const int dx = (slot_ % 2) * 272;
    const int dy = (slot_ / 2) * 192;
    // The lists of the right-hand panels stand at 376, a pixel left of 105 + 272.
    const int listX = slot_ % 2 == 0 ? 105 : 376;
    Controls& unit = controls_;
    const auto name = [this](const char* stem) {
        return (QByteArray(stem) + QByteArray::number(slot_ + 1));
    };

    const QByteArray bevelName = "Bevel" + QByteArray::number(slot_ + 2);
    unit.bevel = makeControl<QFrame>(client, bevelName.constData(), 8 + dx, 62 + dy, 257, 161);
    unit.bevel->setFrameShape(QFrame::Box);
    unit.bevel->setFrameShadow(QFrame::Sunken);

    // The check box is the frame's title: it sits across the top edge, hiding the line.
    unit.vanter =
        makeControl<QCheckBox>(client, name("Vanter").constData(), 24 + dx, 55 + dy, 81, 17);
    unit.vanter->setText(QStringLiteral("VANTER #") + QString::number(slot_));
    unit.vanter->setAutoFillBackground(true);

    unit.eprom =
        makeLabel(client, name("Eprom").constData(), QStringLiteral("EPROM:"), 40 + dx, 88 + dy);
    unit.epromCombo = makeCombo(client, name("EpromCombo").constData(), listX, 86 + dy, 65, 9);
    fill(unit.epromCombo, vanter::kMemoryTypes);

    unit.fileFormat = makeLabel(client, name("FileFormat").constData(),
                                QStringLiteral("File Format:"), 40 + dx, 112 + dy);
    unit.formatCombo = makeCombo(client, name("FormatCombo").constData(), listX, 110 + dy, 65, 8);
    fill(unit.formatCombo, vanter::kFileFormats);

    unit.addrLabel =
        makeLabel(client, name("AddrLabel").constData(),
                  QStringLiteral("Loading offset at EPROM socket:"), 24 + dx, 135 + dy);
    unit.addrEdit =
        makeControl<QLineEdit>(client, name("AddrEdit").constData(), 200 + dx, 130 + dy, 60, 21);
    unit.addrEdit->setValidator(new OffsetTypingLimit(unit.addrEdit));
    unit.addrEdit->setToolTip(slot_ == 1 ? QStringLiteral("Hex number(i.e. FFF0)")
                                         : QStringLiteral("HEX number(i.e. FFF0)"));

    unit.filename = makeLabel(client, name("Filename").constData(), QStringLiteral("Filename:"),
                              24 + dx, 160 + dy);
    unit.filenameEdit = makeControl<QLineEdit>(client, name("FilenameEdit").constData(), 72 + dx,
                                               158 + dy, 177, 21);

    unit.browseBtn =
        makeControl<QPushButton>(client, name("BrowseBtn").constData(), 179 + dx, 188 + dy, 70, 25);
    unit.browseBtn->setText(QStringLiteral("Browse..."));
    // Enter presses the window's default button, never Browse.
    unit.browseBtn->setAutoDefault(false);
}

QList<QWidget*> UnitPanel::tabOrder() const {
    return {controls_.vanter,   controls_.epromCombo,   controls_.formatCombo,
            controls_.addrEdit, controls_.filenameEdit, controls_.browseBtn};
}

// What a screen reader speaks for each control: the label beside it, with the unit it belongs
// to where four panels share the label. The label is the control's buddy and carries the same
// name, since readers on Linux name a drop-down list by its label (its own name is its entry).
// Buttons and check boxes speak their captions.
void UnitPanel::nameControls() {
    const Controls& unit = controls_;
    for (const auto& [label, control] : {std::pair<QLabel*, QWidget*>{unit.eprom, unit.epromCombo},
                                         {unit.fileFormat, unit.formatCombo},
                                         {unit.addrLabel, unit.addrEdit},
                                         {unit.filename, unit.filenameEdit}}) {
        label->setBuddy(control);
    }
    unit.browseBtn->setAccessibleName(unit.vanter->text() + QStringLiteral(" Browse"));
    nameLabelledControls();
}

// The offset label says what the number means (socket offset or target address).
void UnitPanel::nameLabelledControls() {
    const Controls& unit = controls_;
    for (QLabel* label : {unit.eprom, unit.fileFormat, unit.addrLabel, unit.filename}) {
        QString name = label->text();
        if (name.endsWith(u':')) {
            name.chop(1);
        }
        name = unit.vanter->text() + u' ' + name;
        // Setting a name tells the reader; only real changes are worth telling.
        if (label->accessibleName() != name) {
            label->setAccessibleName(name);
            label->buddy()->setAccessibleName(name);
        }
    }
}

void UnitPanel::panelSwitch() {
    switchedOn_ = !switchedOn_;
    showSwitched(switchedOn_);
}

void UnitPanel::showSwitched(bool on) {
    const Controls& unit = controls_;
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
    controls_.addrLabel->setText(controls_.formatCombo->currentText() == QLatin1String("Binary")
                                     ? QStringLiteral("Loading offset at EPROM socket")
                                     : QStringLiteral("Target System address of EPROM"));
}

void UnitPanel::browse() {
    openDialog_.setFileName(QString());
    if (openDialog_.execute()) {
        // Also a name typed into the dialog that does not exist; it is checked on exit only.
        controls_.filenameEdit->setText(chosenFileName(openDialog_.fileName()));
    }
}

void UnitPanel::checkFileName() {
    QLineEdit* edit = controls_.filenameEdit;
    const QString name = edit->text();
    if (name.isEmpty()) {
        return;
    }
    // The file the driver library will open, opened for reading only, neither created nor read.
    // Only a regular file counts: a folder, a named pipe or a device does not, and finding that
    // out never waits. A name the code page can't hold names no file for the driver.
    const std::optional<std::string> forDriver = fileNameForDriver();
    if (!forDriver || !vanter::RegularFile(vanter::pathFromNativeName(*forDriver)).isOpen()) {
        Q_EMIT rejected(QStringLiteral("Invalid Filename"));
        edit->setText(QString());
    }
}

void UnitPanel::checkOffset() {
    QLineEdit* edit = controls_.addrEdit;
    if (!vanter::isAcceptableOffset(local8Bit(edit->text()))) {
        Q_EMIT rejected(QStringLiteral("Invalid HEX number"));
        edit->setText(QStringLiteral("0"));
    }
}

SlotSettings UnitPanel::settings() const {
    SlotSettings settings;
    settings.enabled = controls_.vanter->isChecked();
    settings.memoryType = listPosition(vanter::kMemoryTypes, controls_.epromCombo->currentText());
    settings.fileFormat = listPosition(vanter::kFileFormats, controls_.formatCombo->currentText());
    settings.offset = local8Bit(controls_.addrEdit->text());
    settings.fileName = fileNameForDriver().value_or(driverName(controls_.filenameEdit->text()));
    return settings;
}

void UnitPanel::setChecked(bool checked) {
    controls_.vanter->setChecked(checked);
    if (!checked) {
        showSwitched(false);
    }
}

void UnitPanel::showSettings(const SlotSettings& settings) {
    select(controls_.epromCombo, settings.memoryType);
    select(controls_.formatCombo, settings.fileFormat);
    showOffset(fromLocal8Bit(settings.offset));
    // A name that is not text in the code page (Latin-1 where names are UTF-8) is shown with
    // replacement characters, and kept byte for byte while the edit shows it unchanged.
    loadedFileName_ = settings.fileName;
    loadedFileNameText_ = fromLocal8Bit(settings.fileName);
    controls_.filenameEdit->setText(loadedFileNameText_);
}

std::optional<std::string> UnitPanel::fileNameForDriver() const {
    const QString text = controls_.filenameEdit->text();
    if (text == loadedFileNameText_) {
        return loadedFileName_;
    }
    return exactDriverName(text);
}

void UnitPanel::showOffset(const QString& text) {
    // The length limit is the user's: the program's text is shown whole.
    controls_.addrEdit->setText(text);
}

} // namespace vanter::app
