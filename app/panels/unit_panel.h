#pragma once

// One unit slot's panel: its controls, built at their designed places in the window's client
// area, and their behaviour: switching the panel on and off with its check box, the offset
// label's wording, the file choice and the checks of the two edits. A panel works on the
// controls of its own slot only, and tells the window what happened through its signals; the
// window runs each handler inside its error net.

#include <QList>
#include <QObject>
#include <QString>

#include <optional>
#include <string>

#include "config/configuration.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace vanter::app {

class FileDialog;

class UnitPanel final : public QObject {
    Q_OBJECT

public:
    // The controls of one unit slot; the names carry the digit slot + 1.
    struct Controls {
        QFrame* bevel = nullptr;     // Bevel2 to Bevel5
        QCheckBox* vanter = nullptr; // Vanter1 to Vanter4
        QLabel* eprom = nullptr;     // Eprom1 to Eprom4
        QComboBox* epromCombo = nullptr;
        QLabel* fileFormat = nullptr;
        QComboBox* formatCombo = nullptr;
        QLabel* addrLabel = nullptr;
        QLineEdit* addrEdit = nullptr; // typing limited to 10 characters
        QLabel* filename = nullptr;
        QLineEdit* filenameEdit = nullptr;
        QPushButton* browseBtn = nullptr;
    };

    // Builds the slot's controls in `clientArea`. Browse shows `openDialog`.
    UnitPanel(QWidget* clientArea, int slot, FileDialog& openDialog);

    int slot() const noexcept { return slot_; }
    const Controls& controls() const noexcept { return controls_; }
    // The controls the Tab key visits, in order.
    QList<QWidget*> tabOrder() const;

    // The panel flag: whether the panel is switched on. False at start.
    bool isSwitchedOn() const noexcept { return switchedOn_; }

    // Runs on every change of the check box's state: inverts the panel flag (the box itself
    // is never read) and shows the panel on or off accordingly.
    void panelSwitch();
    // Label colours and enabled controls as for a panel switched on or off; the flag stays.
    void showSwitched(bool on);
    // The offset label's wording after the user picked a format.
    void labelSwitch();
    // Fills the file name with the full path chosen in the open dialog.
    void browse();
    // Exit checks of the file name and offset edits: a text that is not acceptable is
    // reported, then reset.
    void checkFileName();
    void checkOffset();

    // The slot's settings as the controls show them.
    SlotSettings settings() const;
    // Checks or unchecks the box from code (a change raises switchToggled); a panel left
    // unchecked is then shown off, whatever it showed before.
    void setChecked(bool checked);
    // Selects the list entries and sets the edit texts from code, which raises no handler.
    void showSettings(const SlotSettings& settings);
    // Sets the offset text from code, also one longer than the user may type (from a file).
    void showOffset(const QString& text);

    // The file name as the driver library will receive it: the bytes read from a file while the
    // edit shows them unchanged, else the edit's text in the code page; nothing when the code
    // page can't hold that text.
    std::optional<std::string> fileNameForDriver() const;

    // Names each labelled control after its label; runs again when a label's text changed.
    void nameLabelledControls();

Q_SIGNALS:
    // The check box changed state: by the user or from code.
    void switchToggled();
    // The user picked a file format; a pick from code raises nothing.
    void formatPicked();
    void browseClicked();
    // An entry was not acceptable: `text` tells the user, before the entry is reset.
    void rejected(const QString& text);

private:
    void build(QWidget* clientArea);
    void nameControls();

    int slot_;
    FileDialog& openDialog_;
    Controls controls_;
    bool switchedOn_ = false;
    std::string loadedFileName_; // as read from a configuration
    QString loadedFileNameText_; // as the edit showed it then
};

} // namespace vanter::app
