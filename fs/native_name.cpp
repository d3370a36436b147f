#include "fs/native_name.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <climits>
#include <windows.h>
#endif

namespace vanter {

#ifdef _WIN32

namespace {

// The ANSI form of `wide`; `exact` tells whether the code page held every character. Without
// best fit: "Ł" becomes '?', not "L".
std::string toAnsi(const std::wstring& wide, bool& exact) {
    exact = true;
    if (wide.empty() || wide.size() > INT_MAX) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    // UTF-8 holds everything, and refuses both the flag and the question.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    BOOL* const asked = utf8 ? nullptr : &lossy;
    const int length =
        WideCharToMultiByte(CP_ACP, flags, wide.data(), size, nullptr, 0, nullptr, asked);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide.data(), size, text.data(), length, nullptr, asked);
    exact = length > 0 && lossy == FALSE;
    return text;
}

} // namespace

std::filesystem::path pathFromNativeName(std::string_view name) {
    if (name.empty() || name.size() > INT_MAX) {
        return {};
    }
    const int size = static_cast<int>(name.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, name.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.data(), size, wide.data(), length);
    return std::filesystem::path(std::move(wide));
}

std::string nativeName(const std::filesystem::path& path) {
    bool exact = true;
    return toAnsi(path.native(), exact);
}

std::optional<std::string> exactNativeName(const std::filesystem::path& path) {
    bool exact = true;
    std::string text = toAnsi(path.native(), exact);
    if (!exact && !path.empty()) {
        return std::nullopt;
    }
    return text;
}

std::optional<std::filesystem::path> nameInCodePage(const std::filesystem::path& path) {
    if (exactNativeName(path)) {
        return path;
    }
    // The short name exists only for an existing file, and only where the volume keeps them.
    const std::wstring& wide = path.native();
    const DWORD length = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (length == 0) {
        return std::nullopt;
    }
    std::wstring shortName(length, L'\0');
    const DWORD written = GetShortPathNameW(wide.c_str(), shortName.data(), length);
    if (written == 0 || written >= length) {
        return std::nullopt;
    }
    shortName.resize(written);
    std::filesystem::path held(std::move(shortName));
    if (!exactNativeName(held)) {
        return std::nullopt;
    }
    return held;
}

#else

// Elsewhere a path is its bytes, and every name is held as it is.
std::filesystem::path pathFromNativeName(std::string_view name) {
    return std::filesystem::path(name);
}

std::string nativeName(const std::filesystem::path& path) {
    return path.string();
}

std::optional<std::string> exactNativeName(const std::filesystem::path& path) {
    return path.string();
}

std::optional<std::filesystem::path> nameInCodePage(const std::filesystem::path& path) {
    return path;
}

#endif

} // namespace vanter
