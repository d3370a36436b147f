#include "fs/regular_file.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vanter {

namespace {

using Status = RegularFile::Status;

#ifdef _WIN32

// Windows opens neither pipes nor devices in a way that waits: the ordinary open, then the check.
using FileInfo = struct _stat64;

Status kindOf(const FileInfo& info) {
    const unsigned type = info.st_mode & _S_IFMT;
    return type == _S_IFREG ? Status::open : type == _S_IFDIR ? Status::folder : Status::notRegular;
}

bool look(const std::filesystem::path& path, FileInfo& info) {
    return ::_wstat64(path.c_str(), &info) == 0;
}

int openForReading(const std::filesystem::path& path) {
    const int descriptor = ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (descriptor < 0 && errno == EACCES) {
        // Windows refuses to open a folder as a file, calling it a matter of permission.
        std::error_code ignored;
        if (std::filesystem::is_directory(path, ignored)) {
            errno = EISDIR;
        }
    }
    return descriptor;
}

bool examine(int descriptor, FileInfo& info) {
    return ::_fstat64(descriptor, &info) == 0;
}

bool stopWaiting(int) {
    return true;
}

std::ptrdiff_t readSome(int descriptor, char* data, std::size_t size) {
    return ::_read(descriptor, data, static_cast<unsigned>(size < INT_MAX ? size : INT_MAX));
}

void closeFile(int descriptor) {
    ::_close(descriptor);
}

#else

using FileInfo = struct stat;

Status kindOf(const FileInfo& info) {
    return S_ISREG(info.st_mode)   ? Status::open
           : S_ISDIR(info.st_mode) ? Status::folder
                                   : Status::notRegular;
}

// A device is not even opened when the name shows what it is: opening some has effects of its
// own (a serial line's control lines, a tape's rewind).
bool look(const std::filesystem::path& path, FileInfo& info) {
    return ::stat(path.c_str(), &info) == 0;
}

// The name may stand for something else by the time it is opened: opening without waiting and
// examining what was opened is what counts.
int openForReading(const std::filesystem::path& path) {
    int descriptor = -1;
    do {
        descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

bool examine(int descriptor, FileInfo& info) {
    return ::fstat(descriptor, &info) == 0;
}

// A regular file reads the same either way; the flag only mattered while opening.
bool stopWaiting(int descriptor) {
    const int flags = ::fcntl(descriptor, F_GETFL);
    return flags >= 0 && ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

std::ptrdiff_t readSome(int descriptor, char* data, std::size_t size) {
    ssize_t got = 0;
    do {
        got = ::read(descriptor, data, size < SSIZE_MAX ? size : SSIZE_MAX);
    } while (got < 0 && errno == EINTR);
    return got;
}

void closeFile(int descriptor) {
    ::close(descriptor);
}

#endif

Status failureOf(int error) {
    if (error == ENOENT || error == ENOTDIR) {
        return Status::missing;
    }
    return error == EISDIR ? Status::folder : Status::failed;
}

} // namespace

RegularFile::RegularFile(const std::filesystem::path& path) {
    // The system would take the name only up to a NUL byte, and so read another file.
    if (path.native().find(std::filesystem::path::value_type()) !=
        std::filesystem::path::string_type::npos) {
        error_ = ENOENT;
        status_ = Status::missing;
        return;
    }
    FileInfo info{};
    if (look(path, info) && kindOf(info) != Status::open) {
        status_ = kindOf(info);
        return;
    }
    const int descriptor = openForReading(path);
    if (descriptor < 0) {
        error_ = errno;
        status_ = failureOf(error_);
        return;
    }
    if (!examine(descriptor, info) || (kindOf(info) == Status::open && !stopWaiting(descriptor))) {
        error_ = errno;
        status_ = Status::failed;
    } else if (kindOf(info) != Status::open) {
        status_ = kindOf(info);
    } else {
        descriptor_ = descriptor;
        size_ = static_cast<std::uint64_t>(info.st_size);
        status_ = Status::open;
        return;
    }
    closeFile(descriptor);
}

RegularFile::~RegularFile() {
    if (descriptor_ >= 0) {
        closeFile(descriptor_);
    }
}

std::string RegularFile::problem() const {
    switch (status_) {
    case Status::open:
        return {};
    case Status::folder:
        return "it is a folder";
    case Status::notRegular:
        return "it is not a regular file";
    case Status::missing:
    case Status::failed:
        break;
    }
    return reason();
}

std::string RegularFile::reason() const {
    return std::generic_category().message(error_);
}

std::size_t RegularFile::read(std::span<char> buffer) {
    if (descriptor_ < 0 || readFailed_ || buffer.empty()) {
        return 0;
    }
    const std::ptrdiff_t got = readSome(descriptor_, buffer.data(), buffer.size());
    if (got < 0) {
        error_ = errno;
        readFailed_ = true;
        return 0;
    }
    return static_cast<std::size_t>(got);
}

bool RegularFile::readAll(std::string& text, std::size_t maxSize) {
    text.clear();
    char block[16 * 1024];
    while (text.size() <= maxSize) {
        const std::size_t wanted = std::min(sizeof block, maxSize + 1 - text.size());
        const std::size_t got = read(std::span<char>(block, wanted));
        if (got == 0) {
            break;
        }
        text.append(block, got);
    }
    return !readFailed_;
}

RegularFile::int_type RegularFile::underflow() {
    if (buffer_.empty()) {
        buffer_.resize(64 * 1024);
    }
    const std::size_t got = read(buffer_);
    if (got == 0) {
        return traits_type::eof();
    }
    setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
    return traits_type::to_int_type(buffer_[0]);
}

} // namespace vanter
