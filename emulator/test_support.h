#pragma once

// Test helpers: a fresh private folder per test, whole-file reads and writes, and environment
// variables set for the life of an object.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <random>
#include <stdlib.h>
#endif

namespace vanter::testing {

// A new folder (mode 0700) under the system's temporary folder, removed with its contents.
class TestFolder {
public:
    TestFolder() {
#ifdef _WIN32
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("vanter-emu-" + std::to_string(random()) + std::to_string(random()));
        if (!std::filesystem::create_directory(path_))
            throw std::runtime_error("test folder exists already");
#else
        std::string name = (std::filesystem::temp_directory_path() / "vanter-emu-XXXXXX").string();
        if (::mkdtemp(name.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        path_ = name;
#endif
    }
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::filesystem::path& path() const noexcept {
        return path_;
    }
    std::filesystem::path operator/(std::string_view name) const {
        return path_ / name;
    }

private:
    std::filesystem::path path_;
};

inline std::string readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Sets or (nullopt) removes an environment variable of this process. Windows knows no empty
// variables: setting one to "" removes it.
inline void setEnv(const char* name, const std::optional<std::string>& value) {
#ifdef _WIN32
    ::_putenv_s(name, value ? value->c_str() : "");
#else
    if (value)
        ::setenv(name, value->c_str(), 1);
    else
        ::unsetenv(name);
#endif
}

class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        setEnv(name_.c_str(), value);
    }
    ~ScopedEnv() { setEnv(name_.c_str(), old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

} // namespace vanter::testing
