#include "config/atomic_file.h"

#include <string>
#include <system_error>

#include "config/errors.h"
#include "config/native_name.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vanter {

namespace {

[[noreturn]] void fail(const std::filesystem::path& target, const std::string& reason) {
    throw FileError("Cannot write '" + nativeName(target) + "': " + reason);
}

std::filesystem::path folderOf(const std::filesystem::path& target) {
    const std::filesystem::path folder = target.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

} // namespace

#ifdef _WIN32

void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
    const auto lastError = [] {
        return std::system_category().message(int(GetLastError()));
    };
    if (!target.has_filename()) {
        fail(target, "not a file name");
    }
    // A fresh name beside the target, so that the final move stays on one volume.
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (unsigned attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = (folderOf(target) / (L"~" + target.filename().wstring() + L"." +
                                         std::to_wstring(GetCurrentProcessId()) + L"-" +
                                         std::to_wstring(GetTickCount() + attempt) + L".tmp"))
                        .wstring();
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
            fail(target, lastError());
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        fail(target, "no temporary file name is free");
    }
    bool ok = true;
    while (ok && !bytes.empty()) {
        const DWORD chunk = bytes.size() > 0x10000000u ? 0x10000000u : DWORD(bytes.size());
        DWORD written = 0;
        ok = WriteFile(file, bytes.data(), chunk, &written, nullptr) != 0;
        bytes.remove_prefix(written);
    }
    ok = ok && FlushFileBuffers(file) != 0;
    std::string reason = ok ? std::string() : lastError();
    CloseHandle(file);
    if (ok && !MoveFileExW(temporary.c_str(), target.wstring().c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = false;
        reason = lastError();
    }
    if (!ok) {
        DeleteFileW(temporary.c_str());
        fail(target, reason);
    }
}

#else

namespace {

// Permission bits a newly created file gets. The program writes files from one thread only,
// so briefly setting the mask to read it is harmless.
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
    const auto lastError = [] {
        return std::generic_category().message(errno);
    };
    if (!target.has_filename()) {
        fail(target, "not a file name");
    }
    const std::filesystem::path folder = folderOf(target);
    std::string temporary = (folder / ".vanter-XXXXXX").string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        fail(target, lastError());
    }

    std::string reason;
    const auto step = [&reason, &lastError](bool ok) {
        if (!ok && reason.empty()) {
            reason = lastError();
        }
        return ok;
    };

    bool ok = true;
    while (ok && !bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written == 0) {
            errno = EIO; // no progress and no reason given
        }
        ok = step(written > 0);
        if (ok) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
    }
    ok = ok && step(::fsync(fd) == 0);

    // Keep the previous file's permissions (and owner, where allowed); a symbolic link at the
    // target is replaced, so it counts as no previous file.
    struct stat previous {};
    const bool hadFile = ::lstat(target.c_str(), &previous) == 0 && S_ISREG(previous.st_mode);
    const mode_t mode = hadFile ? (previous.st_mode & 07777) : newFileMode();
    if (ok && hadFile && ::fchown(fd, previous.st_uid, previous.st_gid) != 0) {
        // Not permitted for other users' files: the new file stays ours.
    }
    ok = ok && step(::fchmod(fd, mode) == 0); // after the owner, which clears set-id bits
    ok = step(::close(fd) == 0) && ok;
    ok = ok && step(::rename(temporary.c_str(), target.c_str()) == 0);
    if (!ok) {
        ::unlink(temporary.c_str());
        fail(target, reason);
    }

    // Make the rename itself durable. The new file is in place already, so a folder that
    // can't be synced (some file systems refuse) is not a failure of the write.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
}

#endif

} // namespace vanter
