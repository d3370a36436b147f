#pragma once

// The file name edits keep only typed characters that the system's OEM (DOS) code page holds:
// each typed character goes to that page and back. The names themselves reach the configuration
// file and the driver library in the ANSI code page (fs/native_name.h). Code page 437 stands
// for the OEM page where the system has none (everywhere but Windows).

#include <QString>

class QLineEdit;

namespace vanter::app {

// Whether the OEM code page holds the character.
bool oemCodePageHolds(char32_t ch);

// `text` without the characters that the OEM code page does not hold.
QString keepOemCharacters(const QString& text);

// From now on, characters typed or pasted into `edit` that the OEM code page does not hold are
// dropped. Text set by the program (a file dialog, a configuration file) stays as it is.
void keepTypedToOemCodePage(QLineEdit* edit);

} // namespace vanter::app
