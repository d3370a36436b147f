#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace vanter {

// What to do where the user may not create files beside an existing target but may write it
// (a standard user and a file in the root of C:).
enum class LockedFolder {
    fail,        // a user's file: it is only ever replaced by a complete new one
    writeInPlace // a file made afresh for every use (the download script): overwritten in
                 // place, its space reserved first and its old bytes put back when a step
                 // fails; a symbolic link (or junction), anything but a regular file and a file
                 // over 16 MiB are not written so
};

// Replaces `target` by a file holding exactly `bytes`: writes a temporary file beside it,
// flushes it to disk and renames it over the target. The target is at all times either the
// old file or the complete new one. A symbolic link at the target is replaced, not followed.
// Throws FileError with a text naming the file when anything fails; the temporary is removed,
// and the target holds its previous bytes (written in place too, unless even putting them back
// failed, which the text then says).
void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         LockedFolder locked = LockedFolder::fail);

// The same, but the temporary file is not created: its creation fails with `refusal`, when set.
// Tests reach the writing in place through this, as root may create files anywhere.
void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         LockedFolder locked, std::error_code refusal);

} // namespace vanter
