#pragma once
// Reads the rain database file into memory and checks what can be checked
// without the database library: that it is a regular file of a sensible size
// holding the header of an Access (Jet 3 or Jet 4) database made of whole pages.
// Only a file that passes goes on to libmdb, which then works on the bytes read
// here: the file is opened once, read-only, and never touched again.

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace infil::rain {

// No rain database comes near this; anything larger is refused rather than read.
inline constexpr std::size_t kMaxDatabaseBytes = 256u * 1024u * 1024u;

enum class FileStatus {
    Ok,
    Missing,         // no file at that path
    NotAFile,        // a folder, a device, a pipe ...
    AccessDenied,    // no permission to read it
    ReadError,       // reading failed or the file changed while being read
    Empty,           // zero bytes
    TooLarge,        // beyond kMaxDatabaseBytes
    NotJet,          // no Jet database header
    UnsupportedJet,  // a newer Access format (ACE) or an unknown Jet version
    Incomplete       // too short, or not made of whole pages: a truncated copy
};

struct DatabaseImage {
    FileStatus status = FileStatus::Missing;
    std::vector<unsigned char> bytes; // the whole file when status is Ok
    int pageSize = 0;                 // 2048 (Jet 3) or 4096 (Jet 4) when Ok
};

// The header check alone, on the bytes of a whole file.
FileStatus checkJetImage(std::span<const unsigned char> bytes, int* pageSize = nullptr);

// What is wrong with a file of this status, as a sentence for the user.
std::string fileStatusText(FileStatus status);

// Opens, reads and checks the file. Never blocks on a pipe or a device.
DatabaseImage loadDatabaseImage(const std::string& path, std::size_t maxBytes = kMaxDatabaseBytes);

} // namespace infil::rain
