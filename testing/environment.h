#pragma once

// Environment variables set for the life of an object.

#include <cstdlib>
#include <optional>
#include <string>

#ifdef _WIN32
#include <stdlib.h>
#endif

namespace vanter::testing {

// Sets or (nullopt) removes an environment variable of this process. Windows knows no empty
// variables: setting one to "" removes it.
inline void setEnv(const char* name, const std::optional<std::string>& value) {
#ifdef _WIN32
    ::_putenv_s(name, value ? value->c_str() : "");
#else
    if (value) {
        ::setenv(name, value->c_str(), 1);
    } else {
        ::unsetenv(name);
    }
#endif
}

class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
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
