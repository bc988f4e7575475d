#pragma once
// Reading and writing a project's bytes safely.
//
// Reading takes only a regular file no larger than a limit, checked before a
// byte is read, and never waits: a pipe or a device standing at the name is
// refused at once. Writing never leaves a half-written file: the bytes go to
// a new file beside the old one, reach the disk, and only then take its name.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace infil::project {

// The bytes of the file at `path`; nullopt with the reason in Czech in
// *reason when it is no regular file, larger than `limit` or unreadable.
std::optional<std::string> readFileLimited(const std::string& path, std::size_t limit, std::string* reason);

// The system calls the writer makes, so that a test can make one fail.
struct WriteCalls {
    ssize_t (*write)(int fd, const void* data, std::size_t size);
    int (*fsync)(int fd);
    int (*rename)(const char* from, const char* to);
};
WriteCalls systemWriteCalls();

// Replaces the file at `path` (or, when `path` is a link, the file it points
// to) by one holding `bytes`, keeping the old file's permissions (a new file
// gets `newFileMode`, less the umask). False with the reason in Czech in
// *reason when that fails; the old file is then as it was and no temporary
// file remains.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string* reason,
                         const WriteCalls& calls = systemWriteCalls(), unsigned newFileMode = 0666);

// Why a file could not be read, in Czech ("soubor neexistuje", "přístup odepřen" ...).
std::string systemReason(int error);

} // namespace infil::project
