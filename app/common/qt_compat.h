#pragma once

// The few calls that differ between Qt 5.15 and Qt 6, the two Qt versions the window builds
// with (Qt 5.15 for 32-bit Windows). Everything else is written to the API both share.

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeySequence>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <string_view>

namespace vanter::app {

// What Qt 6 does by itself, asked of Qt 5 before the application object exists: dialogs carry
// no "?" title button, and on Windows window sizes follow the system's scale setting (125 %
// too, unrounded). Elsewhere Qt 5 would scale by X11's physical screen size, which Qt 6 ignores.
inline void useQt6Defaults() {
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QCoreApplication::setAttribute(Qt::AA_DisableWindowContextHelpButton);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
#ifdef _WIN32
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
#endif
#endif
}

// A key with its modifiers, e.g. Ctrl+N. Qt 6 combines them in a QKeyCombination; Qt 5 in an
// int, where `Qt::CTRL | Qt::Key_N` mixes two enumerations (deprecated in C++20).
inline QKeySequence keyChord(Qt::KeyboardModifiers modifiers, Qt::Key key) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QKeySequence(QKeyCombination(modifiers, key));
#else
    return QKeySequence(static_cast<int>(modifiers) | static_cast<int>(key));
#endif
}

// The installed font families: a static function in Qt 6, a member in Qt 5.
inline QStringList installedFontFamilies() {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QFontDatabase::families();
#else
    return QFontDatabase().families();
#endif
}

// Latin-1 text of a string view (Qt 6 takes the view itself, Qt 5 a pointer and an int).
inline QString fromLatin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<int>(text.size()));
}

} // namespace vanter::app
