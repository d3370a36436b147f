#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace vanter {

// Replaces `target` by a file holding exactly `bytes`: writes a temporary file beside it,
// flushes it to disk and renames it over the target. The target is at all times either the
// old file or the complete new one. A symbolic link at the target is replaced, not followed.
// Where the user may not create files beside an existing target but may write it (a standard
// user and a file in the root of C:), the target is written in place instead: truncated,
// written and flushed; a symbolic link or anything but a regular file is not written so.
// Throws FileError with a text naming the file when anything fails; the temporary is removed.
void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// The same, but the temporary file is not created: its creation fails with `refusal`, when set.
// Tests reach the writing in place through this, as root may create files anywhere.
void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         std::error_code refusal);

} // namespace vanter
