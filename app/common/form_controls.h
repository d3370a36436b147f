#pragma once

// Building the window's controls at their designed places, and the text conversions between
// them and a configuration, shared by the window and its unit panels.

#include <QComboBox>
#include <QString>
#include <QWidget>

#include <span>
#include <string>
#include <string_view>

class QLabel;

namespace vanter::app {

// The text as the configuration and the driver take it (the system's 8-bit code page).
std::string local8Bit(const QString& text);
QString fromLocal8Bit(std::string_view text);

// The position of a control's text in a list of entries; -1 for none.
int listPosition(std::span<const std::string_view> entries, const QString& text);

// A control named `name` at its designed place and size.
template <class W>
W* makeControl(QWidget* parent, const char* name, int x, int y, int width, int height) {
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, width, height);
    return widget;
}

// A label at its designed place, sized to its text.
QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int x, int y);

// A drop-down list that opens `dropDownCount` entries high.
QComboBox* makeCombo(QWidget* parent, const char* name, int x, int y, int width, int dropDownCount);

// Fills a list with entries and leaves nothing selected, as designed.
void fill(QComboBox* combo, std::span<const std::string_view> entries);

// Selects a position from code; one outside the list selects nothing.
void select(QComboBox* combo, int position);

} // namespace vanter::app
