#include "config/native_name.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <climits>
#include <windows.h>
#endif

namespace vanter {

#ifdef _WIN32

std::filesystem::path pathFromNativeName(std::string_view name) {
    if (name.empty() || name.size() > INT_MAX)
        return {};
    const int size = static_cast<int>(name.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, name.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.data(), size, wide.data(), length);
    return std::filesystem::path(std::move(wide));
}

std::string nativeName(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    if (wide.empty() || wide.size() > INT_MAX)
        return {};
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

#else

// Elsewhere a path is its bytes.
std::filesystem::path pathFromNativeName(std::string_view name) {
    return std::filesystem::path(name);
}

std::string nativeName(const std::filesystem::path& path) {
    return path.string();
}

#endif

} // namespace vanter
