#include "fs/atomic_file.h"

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>

#include "fs/file_error.h"
#include "fs/native_name.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
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

bool isPermissionDenied(const std::error_code& error) {
#ifdef _WIN32
    if (error.category() == std::system_category() && error.value() == ERROR_ACCESS_DENIED) {
        return true;
    }
#endif
    return error == std::errc::permission_denied || error == std::errc::operation_not_permitted;
}

// The existing regular file at `target` overwritten with `bytes` (overwrite() below): for a
// folder where the user may write that file but create none (the root of C: for a standard
// user). nullopt when there is no such file to write (a symbolic link is not one); otherwise
// why it was not written, empty when it was.
std::optional<std::string> writeInPlace(const std::filesystem::path& target,
                                        std::string_view bytes);

// Larger files are not written in place: their old bytes are kept in memory meanwhile.
constexpr std::uint64_t kMaxInPlaceSize = 16 << 20;

// After the temporary file could not be created: for lack of permission, the file is written
// in place instead, if there is one; else, or when that fails too, the write fails.
void writeInPlaceOrFail(const std::filesystem::path& target, std::string_view bytes,
                        LockedFolder locked, const std::error_code& refused) {
    if (locked == LockedFolder::writeInPlace && isPermissionDenied(refused)) {
        if (const auto written = writeInPlace(target, bytes)) {
            if (!written->empty()) {
                fail(target, *written);
            }
            return;
        }
    }
    fail(target, refused.message());
}

#ifdef _WIN32

std::error_code lastError() {
    return {static_cast<int>(GetLastError()), std::system_category()};
}

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > 0x10000000u ? 0x10000000u : DWORD(bytes.size());
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

// A fresh name beside the target, so that the final move stays on one volume.
std::error_code createTemporary(const std::filesystem::path& target, std::wstring& temporary,
                                HANDLE& file) {
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        temporary = (folderOf(target) / (L"~" + target.filename().wstring() + L"." +
                                         std::to_wstring(GetCurrentProcessId()) + L"-" +
                                         std::to_wstring(GetTickCount() + attempt) + L".tmp"))
                        .wstring();
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            return {};
        }
        if (GetLastError() != ERROR_FILE_EXISTS) {
            return lastError();
        }
    }
    return std::make_error_code(std::errc::file_exists);
}

using File = HANDLE;

bool seek(HANDLE file, std::uint64_t offset) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) != 0;
}

bool readFromStart(HANDLE file, std::string& bytes, std::size_t size) {
    bytes.assign(size, '\0');
    std::size_t got = 0;
    while (got < size) {
        DWORD read = 0;
        if (!seek(file, got) ||
            !ReadFile(file, bytes.data() + got, DWORD(size - got), &read, nullptr)) {
            return false;
        }
        if (read == 0) {
            SetLastError(ERROR_HANDLE_EOF); // shorter than it said a moment ago
            return false;
        }
        got += read;
    }
    return true;
}

bool writeFromStart(HANDLE file, std::string_view bytes) {
    return seek(file, 0) && writeAll(file, bytes);
}

bool setSize(HANDLE file, std::uint64_t size) {
    return seek(file, size) && SetEndOfFile(file) != 0;
}

// Growing the file allocates its clusters: a full disk fails here, before any byte changes.
bool reserve(HANDLE file, std::uint64_t, std::uint64_t size) {
    return setSize(file, size);
}

bool flush(HANDLE file) {
    return FlushFileBuffers(file) != 0;
}

std::string overwrite(HANDLE file, std::uint64_t oldSize, std::string_view bytes);

std::optional<std::string> writeInPlace(const std::filesystem::path& target,
                                        std::string_view bytes) {
    // The link itself, not what it points to; no one else may have the file open meanwhile.
    HANDLE file = CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // Held open by another program: that is the reason, not the folder's refusal.
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
            return std::error_code(static_cast<int>(error), std::system_category()).message();
        }
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool plain =
        GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) &&
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0;
    const std::uint64_t size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    if (!plain || size > kMaxInPlaceSize) {
        CloseHandle(file);
        return std::nullopt;
    }
    std::string error = overwrite(file, size, bytes);
    CloseHandle(file);
    return error;
}

// Writes beside the target and moves the new file over it.
void replace(const std::filesystem::path& target, std::string_view bytes, LockedFolder locked,
             const std::error_code& refusal) {
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    const std::error_code created = refusal ? refusal : createTemporary(target, temporary, file);
    if (created) {
        writeInPlaceOrFail(target, bytes, locked, created);
        return;
    }
    bool ok = writeAll(file, bytes) && FlushFileBuffers(file) != 0;
    std::error_code error = ok ? std::error_code() : lastError();
    CloseHandle(file);
    if (ok && !MoveFileExW(temporary.c_str(), target.wstring().c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = false;
        error = lastError();
    }
    if (!ok) {
        DeleteFileW(temporary.c_str());
        fail(target, error.message());
    }
}

#else

std::error_code lastError() {
    return {errno, std::generic_category()};
}

// Writes all of `bytes` to `fd`; false with errno set when it can't.
bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            if (written == 0) {
                errno = EIO; // no progress and no reason given
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A fresh file beside the target, for writing; created with `mode` as any new file is, so that
// the umask (or the folder's default ACL) applies.
std::error_code createTemporary(const std::filesystem::path& folder, mode_t mode, std::string& name,
                                int& fd) {
    static std::atomic<std::uint64_t> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::uint64_t value = static_cast<std::uint64_t>(
                                  std::chrono::steady_clock::now().time_since_epoch().count()) ^
                              (static_cast<std::uint64_t>(::getpid()) << 40) ^
                              (++counter * 0x9E3779B97F4A7C15u);
        std::string suffix;
        for (int i = 0; i < 8; ++i, value /= 36) {
            suffix += "0123456789abcdefghijklmnopqrstuvwxyz"[value % 36];
        }
        name = (folder / (".vanter-" + suffix)).string();
        fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            return {};
        }
        if (errno != EEXIST) {
            return lastError();
        }
    }
    return std::make_error_code(std::errc::file_exists);
}

using File = int;

bool readFromStart(int fd, std::string& bytes, std::size_t size) {
    bytes.assign(size, '\0');
    std::size_t got = 0;
    while (got < size) {
        const ssize_t read = ::pread(fd, bytes.data() + got, size - got, off_t(got));
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read <= 0) {
            if (read == 0) {
                errno = EIO; // shorter than it said a moment ago
            }
            return false;
        }
        got += static_cast<std::size_t>(read);
    }
    return true;
}

bool writeFromStart(int fd, std::string_view bytes) {
    return ::lseek(fd, 0, SEEK_SET) == 0 && writeAll(fd, bytes);
}

bool setSize(int fd, std::uint64_t size) {
    return ::ftruncate(fd, off_t(size)) == 0;
}

// Allocates the blocks the new bytes need: a full disk or the file size limit fails here,
// before any byte changes.
bool reserve(int fd, std::uint64_t oldSize, std::uint64_t size) {
    const int error = ::posix_fallocate(fd, off_t(oldSize), off_t(size - oldSize));
    errno = error;
    return error == 0;
}

bool flush(int fd) {
    return ::fsync(fd) == 0;
}

std::string overwrite(int fd, std::uint64_t oldSize, std::string_view bytes);

std::optional<std::string> writeInPlace(const std::filesystem::path& target,
                                        std::string_view bytes) {
    // Neither a symbolic link's target nor a named pipe waiting for a reader. Read as well, to
    // keep the old bytes.
    const int fd = ::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat info {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        std::uint64_t(info.st_size) > kMaxInPlaceSize || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return std::nullopt;
    }
    std::string error = overwrite(fd, std::uint64_t(info.st_size), bytes);
    if (::close(fd) != 0 && error.empty()) {
        error = lastError().message();
    }
    return error;
}

// Writes beside the target and moves the new file over it.
void replace(const std::filesystem::path& target, std::string_view bytes, LockedFolder locked,
             const std::error_code& refusal) {
    const std::filesystem::path folder = folderOf(target);

    // Keep the previous file's permissions (and owner, where allowed); a symbolic link at the
    // target is replaced, so it counts as no previous file.
    struct stat previous {};
    const bool hadFile = ::lstat(target.c_str(), &previous) == 0 && S_ISREG(previous.st_mode);

    std::string temporary;
    int fd = -1;
    const std::error_code created =
        refusal ? refusal
                : createTemporary(folder, hadFile ? previous.st_mode & 0666 : 0666, temporary, fd);
    if (created) {
        writeInPlaceOrFail(target, bytes, locked, created);
        return;
    }

    std::error_code error;
    const auto step = [&error](bool ok) {
        if (!ok && !error) {
            error = lastError();
        }
        return ok;
    };
    bool ok = step(writeAll(fd, bytes)) && step(::fsync(fd) == 0);
    if (ok && hadFile && ::fchown(fd, previous.st_uid, previous.st_gid) != 0) {
        // Not permitted for other users' files: the new file stays ours.
    }
    // After the owner, which clears set-id bits.
    ok = ok && (!hadFile || step(::fchmod(fd, previous.st_mode & 07777) == 0));
    ok = step(::close(fd) == 0) && ok;
    ok = ok && step(::rename(temporary.c_str(), target.c_str()) == 0);
    if (!ok) {
        ::unlink(temporary.c_str());
        fail(target, error.message());
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

// Replaces the content of an open regular file of `oldSize` bytes by `bytes` so that a failure
// at any step leaves the old bytes: the space is reserved before anything is overwritten, and
// the old bytes are put back when a later step fails.
std::string overwrite(File file, std::uint64_t oldSize, std::string_view bytes) {
    std::string old;
    if (!readFromStart(file, old, static_cast<std::size_t>(oldSize))) {
        return lastError().message();
    }
    if (bytes.size() > oldSize && !reserve(file, oldSize, bytes.size())) {
        const std::error_code error = lastError();
        setSize(file, oldSize);
        return error.message();
    }
    if (writeFromStart(file, bytes) && setSize(file, bytes.size()) && flush(file)) {
        return {};
    }
    const std::error_code error = lastError();
    if (!(writeFromStart(file, old) && setSize(file, oldSize) && flush(file))) {
        return error.message() +
               " (and the previous content could not be put back: " + lastError().message() + ")";
    }
    return error.message();
}

} // namespace

void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         LockedFolder locked) {
    writeFileAtomically(target, bytes, locked, {});
}

void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         LockedFolder locked, std::error_code refusal) {
    if (!target.has_filename()) {
        fail(target, "not a file name");
    }
    replace(target, bytes, locked, refusal);
}

} // namespace vanter
