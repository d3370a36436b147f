#include "script_path.h"

#include "config/errors.h"

#ifndef _WIN32
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

#include <pwd.h>
#include <unistd.h>
#endif

namespace vanter {

namespace {

#ifndef _WIN32

constexpr const char* kScriptName = "$$temp.in3";

// A folder nobody else can plant files in: a real folder (not a link), owned by us, and
// writable by nobody but its owner.
bool isPrivateFolder(const struct stat& info) {
    return S_ISDIR(info.st_mode) && info.st_uid == geteuid() && (info.st_mode & 022) == 0;
}

std::string systemReason(int error) {
    return std::strerror(error);
}

// $XDG_RUNTIME_DIR when it is an absolute path to a private folder; empty otherwise.
std::filesystem::path runtimeBase() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || runtime[0] != '/') {
        return {};
    }
    struct stat info {};
    if (::lstat(runtime, &info) != 0 || !isPrivateFolder(info)) {
        return {};
    }
    return runtime;
}

std::filesystem::path cacheBase() {
    const char* home = std::getenv("HOME");
    std::string folder;
    if (home != nullptr && home[0] != '\0') {
        folder = home;
    } else {
        const struct passwd* user = ::getpwuid(geteuid());
        if (user == nullptr || user->pw_dir == nullptr || user->pw_dir[0] == '\0') {
            throw FileError("Cannot find a folder for the download script: neither $HOME nor "
                            "the home folder of this user is known");
        }
        folder = user->pw_dir;
    }
    return std::filesystem::path(folder) / ".cache";
}

void makeFolder(const std::filesystem::path& folder, mode_t mode) {
    if (::mkdir(folder.c_str(), mode) != 0 && errno != EEXIST) {
        throw FileError("Cannot create the folder '" + folder.string() +
                        "' for the download script: " + systemReason(errno));
    }
}

std::filesystem::path privateFolder() {
    std::filesystem::path base = runtimeBase();
    if (base.empty()) {
        base = cacheBase();
        // ~/.cache is the user's own; create it the way the XDG rules ask for (0700).
        makeFolder(base, 0700);
    }
    const std::filesystem::path folder = base / "vanter3";
    makeFolder(folder, 0700);

    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) {
        throw FileError("Cannot examine the folder '" + folder.string() +
                        "' for the download script: " + systemReason(errno));
    }
    if (S_ISLNK(info.st_mode) || !S_ISDIR(info.st_mode)) {
        throw FileError("The folder '" + folder.string() +
                        "' for the download script is not a real folder (a link or a file "
                        "stands in its place); remove it and try again");
    }
    if (info.st_uid != geteuid()) {
        throw FileError("The folder '" + folder.string() +
                        "' for the download script belongs to another user; remove it and "
                        "try again");
    }
    if ((info.st_mode & 022) != 0) {
        throw FileError("The folder '" + folder.string() +
                        "' for the download script is writable by other users; remove it or "
                        "make it private (chmod 700) and try again");
    }
    return folder;
}

#endif

} // namespace

std::filesystem::path downloadScriptPath() {
#ifdef _WIN32
    // The maker's library reads exactly this file.
    return std::filesystem::path("c:\\$$temp.in3");
#else
    return privateFolder() / kScriptName;
#endif
}

} // namespace vanter
