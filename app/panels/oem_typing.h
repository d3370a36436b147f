#pragma once

// Image file names reach the configuration file and the driver library in the system's OEM
// (DOS) code page: the file name edits keep only typed characters that this page holds.
// Code page 437 stands for it where the system has none (everywhere but Windows).

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
