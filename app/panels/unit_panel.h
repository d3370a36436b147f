#pragma once

// The behaviour of one unit slot's panel: switching it on and off with its check box, the
// offset label's wording, the file choice and the checks of the two edits. Each panel works on
// the controls of its own slot only.

class TVante3_0;

namespace vanter::app {

class UnitPanel {
public:
    UnitPanel(TVante3_0& window, int slot);

    int slot() const noexcept { return slot_; }
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

private:
    TVante3_0& window_;
    int slot_;
    bool switchedOn_ = false;
};

} // namespace vanter::app
