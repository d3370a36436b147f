#include "form_controls.h"

#include <QLabel>

#include "config/values.h"

namespace vanter::app {

std::string local8Bit(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

QString fromLocal8Bit(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

int listPosition(std::span<const std::string_view> entries, const QString& text) {
    return vanter::listPosition(entries, local8Bit(text));
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(x, y);
    label->adjustSize();
    return label;
}

QComboBox* makeCombo(QWidget* parent, const char* name, int x, int y, int width,
                     int dropDownCount) {
    auto* combo = makeControl<QComboBox>(parent, name, x, y, width, 21);
    combo->setMaxVisibleItems(dropDownCount);
    return combo;
}

void fill(QComboBox* combo, std::span<const std::string_view> entries) {
    for (std::string_view entry : entries) {
        combo->addItem(fromLocal8Bit(entry));
    }
    // Filling selects the first entry; the designed state is "nothing selected".
    combo->setCurrentIndex(-1);
}

void select(QComboBox* combo, int position) {
    combo->setCurrentIndex(position >= 0 && position < combo->count() ? position : -1);
}

} // namespace vanter::app
