#include "oem_typing.h"

#include <QLineEdit>
#include <QObject>

#include <algorithm>
#include <array>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace vanter::app {

#ifdef _WIN32

bool oemCodePageHolds(char32_t ch) {
    // A system whose OEM code page is UTF-8 holds every character.
    if (GetOEMCP() == CP_UTF8) {
        return true;
    }
    const QString text = QString::fromUcs4(&ch, 1);
    char bytes[8];
    BOOL usedDefault = FALSE;
    const int written = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS,
                                            reinterpret_cast<const wchar_t*>(text.utf16()),
                                            static_cast<int>(text.size()), bytes,
                                            static_cast<int>(sizeof bytes), nullptr, &usedDefault);
    return written > 0 && !usedDefault;
}

#else

namespace {

// The upper half of code page 437, bytes 80 to FF.
constexpr std::array<char16_t, 128> kUpperHalf{
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

} // namespace

bool oemCodePageHolds(char32_t ch) {
    return ch < 0x80 || std::find(kUpperHalf.begin(), kUpperHalf.end(), ch) != kUpperHalf.end();
}

#endif

QString keepOemCharacters(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (const char32_t ch : text.toUcs4()) {
        if (oemCodePageHolds(ch)) {
            kept += QString::fromUcs4(&ch, 1);
        }
    }
    return kept;
}

namespace {

// Watches one edit: the part of the text that a user edit put in is filtered, the rest of the
// text (possibly set by the program) is left alone.
class OemTypingFilter final : public QObject {
public:
    explicit OemTypingFilter(QLineEdit* edit) : QObject(edit), edit_(edit), before_(edit->text()) {
        // A user edit raises textEdited before textChanged: before_ still holds the old text.
        connect(edit, &QLineEdit::textEdited, this, [this](const QString& text) { typed(text); });
        connect(edit, &QLineEdit::textChanged, this, [this] { before_ = edit_->text(); });
    }

private:
    void typed(const QString& text) {
        const qsizetype shorter = std::min(before_.size(), text.size());
        qsizetype prefix = 0;
        while (prefix < shorter && before_.at(prefix) == text.at(prefix)) {
            ++prefix;
        }
        qsizetype suffix = 0;
        while (suffix < shorter - prefix &&
               before_.at(before_.size() - 1 - suffix) == text.at(text.size() - 1 - suffix)) {
            ++suffix;
        }
        // Never split a surrogate pair between the kept and the inserted part.
        if (prefix > 0 && text.at(prefix - 1).isHighSurrogate()) {
            --prefix;
        }
        if (suffix > 0 && text.at(text.size() - suffix).isLowSurrogate()) {
            --suffix;
        }
        const QString inserted = text.mid(prefix, text.size() - prefix - suffix);
        const QString kept = keepOemCharacters(inserted);
        if (kept.size() == inserted.size()) {
            return;
        }
        qsizetype cursor = edit_->cursorPosition();
        if (cursor >= prefix + inserted.size()) {
            cursor -= inserted.size() - kept.size();
        } else if (cursor > prefix) {
            cursor = prefix + keepOemCharacters(inserted.left(cursor - prefix)).size();
        }
        edit_->setText(text.left(prefix) + kept + text.right(suffix));
        edit_->setCursorPosition(static_cast<int>(cursor));
    }

    QLineEdit* edit_;
    QString before_; // the text before the edit that is being reported
};

} // namespace

void keepTypedToOemCodePage(QLineEdit* edit) {
    new OemTypingFilter(edit);
}

} // namespace vanter::app
