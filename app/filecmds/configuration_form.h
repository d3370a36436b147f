#pragma once

// The configuration form as the file commands work on it: its controls read into a
// configuration and set from one, the name of the file in use, and the captions.

#include <QString>

#include <string_view>

#include "config/configuration.h"

namespace vanter::app {

// The part of the window's caption that stays when the name of another file is shown.
inline constexpr std::string_view kCaptionFixedPart = "VANTER III  v3.b3  -- ";

class ConfigurationForm {
public:
    virtual ~ConfigurationForm() = default;

    // The configuration the controls show: port text as shown, list positions of the
    // combos' texts (-1 for none), offset and file name texts.
    virtual vanter::Configuration configuration() const = 0;

    // Shows a configuration the way the file reader sets the controls: checks the boxes it
    // enables (a newly checked box raises its panel switch; none is ever unchecked), then
    // selects list entries and sets edit texts of the enabled slots from code, which raises
    // no handler.
    virtual void showConfiguration(const vanter::Configuration& config) = 0;

    // Shows every control as the configuration says: also unchecks the boxes of the slots it
    // leaves off (their panels shown off) and sets those slots' values.
    virtual void showWholeConfiguration(const vanter::Configuration& config) = 0;

    // The name of the configuration file in use.
    virtual const QString& currentFileName() const = 0;
    virtual void setCurrentFileName(const QString& name) = 0;

    // The window's caption, which shows the file's name after kCaptionFixedPart.
    virtual QString caption() const = 0;
    virtual void setCaption(const QString& caption) = 0;

    // The caption of every message box, and a message box with it and OK.
    virtual void setMessageCaption(const QString& caption) = 0;
    virtual void tell(const QString& text) = 0;
};

} // namespace vanter::app
