#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zak {

// Moving whole files between the disk and memory, so that a failed write never leaves
// a file half-written. Paths are the file system's own bytes. Errors are errno values.

struct FileContents {
    enum class Status {
        Read,        // bytes holds the whole file
        Missing,     // no file of that name
        Unreadable,  // it exists but cannot be read: no permission, not a regular file
                     // (a folder, a device, a pipe), or larger than the limit
    };
    Status status = Status::Missing;
    std::string bytes;
    int error = 0;  // errno when Unreadable (EFBIG when over the limit)
};

// Reads a regular file of at most maxBytes bytes. Never blocks on a pipe or device.
FileContents readWholeFile(const std::string& path, std::size_t maxBytes);

// Replaces the file with the given bytes, or creates it. The bytes go into a new file
// beside it, which takes the old file's place only when it is complete, so on any
// failure (full disk, missing folder, a folder that cannot be written) the old file
// stays as it was. The new file has a short hidden name (".zak" and six characters) in
// the same folder until it is complete, and is removed on failure. It keeps the old
// one's permission bits, granting nobody more than the old file did at any moment;
// its group where the caller is a member of it; its owner where the caller may (the
// superuser). A new file gets the usual permissions (0666 less the umask).
// A symbolic link is followed and its target replaced.
// A file whose permission bits allow nobody to write is refused (EACCES) even for the
// superuser, as is a file the caller may not write. Returns 0 or the errno.
int replaceFile(const std::string& path, std::string_view bytes);

}  // namespace zak
