#pragma once

// The .in3 configuration file: the writer and the reader. The same bytes serve as the
// download script that the driver library reads.

#include <cstddef>
#include <filesystem>
#include <istream>
#include <string>

#include "configuration.h"
#include "fs/atomic_file.h"

namespace vanter {

class RegularFile;

// Longest line the reader takes; the writer refuses values longer than this, so everything
// it writes reads back identically.
inline constexpr std::size_t kMaxLineLength = 32768;

// Most bytes the reader takes from one configuration text: far more than any configuration the
// writer produces (four records of at most kMaxLineLength per line), and a bound on the time a
// read can take, also on an endless source.
inline constexpr std::size_t kMaxConfigurationSize = 1 << 20;

// The whole file text: CR LF between lines, none after the final "N".
// Throws ConversionError for a typed port that does not convert, FileError for a value that
// would break the line structure (CR, LF, Ctrl-Z) or is too long. Refuses nothing else: the
// caller has made the "no slot enabled" test.
std::string formatConfiguration(const Configuration& config);

// Builds the text, then replaces `target` atomically. Throws as formatConfiguration, and
// FileError naming the file when it can't be written; the previous file then stays as it was.
void writeConfigurationFile(const std::filesystem::path& target, const Configuration& config,
                            LockedFolder locked = LockedFolder::fail);

// Applies a configuration text to `config`: sets only what the text names, never unchecks a
// slot. On any error (a port line that does not convert, a line over kMaxLineLength, more than
// kMaxConfigurationSize bytes before the reading ends) throws and leaves `config` untouched.
void readConfiguration(std::istream& in, Configuration& config);

// The same for a file; a file that can't be opened, and anything that is not a regular file (a
// folder, a named pipe, a device), reads as empty (and so fails at the port line with "'0x' is
// not a valid integer value").
void readConfigurationFile(const std::filesystem::path& source, Configuration& config);

// The same for a file opened already, so that what was checked is what is read; `source` names
// it in messages.
void readConfigurationFile(RegularFile& file, const std::filesystem::path& source,
                           Configuration& config);

} // namespace vanter
