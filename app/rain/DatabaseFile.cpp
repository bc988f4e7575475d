#include "rain/DatabaseFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace infil::rain {

namespace {

// Page 0 of every Jet file: a 4-byte page tag, the format name, the version.
constexpr unsigned char kPageTag[4] = {0x00, 0x01, 0x00, 0x00};
constexpr char kJetName[] = "Standard Jet DB"; // followed by a NUL
constexpr char kAceName[] = "Standard ACE DB";
constexpr std::size_t kNameOffset = 4;
constexpr std::size_t kVersionOffset = 0x14;

std::uint32_t le32(std::span<const unsigned char> b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

bool hasName(std::span<const unsigned char> b, const char* name)
{
    const std::size_t n = std::strlen(name) + 1; // with its NUL
    return std::memcmp(b.data() + kNameOffset, name, n) == 0;
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

FileStatus statusOfErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return FileStatus::Missing;
    case EACCES:
    case EPERM:
        return FileStatus::AccessDenied;
    case EISDIR:
        return FileStatus::NotAFile;
    default:
        return FileStatus::ReadError;
    }
}

} // namespace

FileStatus checkJetImage(std::span<const unsigned char> bytes, int* pageSize)
{
    if (bytes.empty())
        return FileStatus::Empty;
    if (bytes.size() < kVersionOffset + 4)
        return FileStatus::NotJet;
    if (std::memcmp(bytes.data(), kPageTag, sizeof kPageTag) != 0)
        return FileStatus::NotJet;
    if (hasName(bytes, kAceName))
        return FileStatus::UnsupportedJet;
    if (!hasName(bytes, kJetName))
        return FileStatus::NotJet;

    int page = 0;
    switch (le32(bytes, kVersionOffset)) {
    case 0: page = 2048; break; // Jet 3 (Access 97)
    case 1: page = 4096; break; // Jet 4 (Access 2000 to 2003)
    default: return FileStatus::UnsupportedJet;
    }
    // Jet writes whole pages; the header page, a page of its own and the page of
    // the object catalogue are the least a database has.
    const std::size_t pageBytes = static_cast<std::size_t>(page);
    if (bytes.size() % pageBytes != 0 || bytes.size() < 3 * pageBytes)
        return FileStatus::Incomplete;
    if (pageSize)
        *pageSize = page;
    return FileStatus::Ok;
}

DatabaseImage loadDatabaseImage(const std::string& path, std::size_t maxBytes)
{
    DatabaseImage image;
    if (path.empty() || path.find('\0') != std::string::npos) {
        image.status = FileStatus::Missing;
        return image;
    }
    // Non-blocking, so that a pipe or a device under that name cannot hang us;
    // the descriptor is checked to be a regular file before anything is read.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) {
        image.status = statusOfErrno(errno);
        return image;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        image.status = FileStatus::ReadError;
        return image;
    }
    if (!S_ISREG(st.st_mode)) {
        image.status = FileStatus::NotAFile;
        return image;
    }
    if (st.st_size == 0) {
        image.status = FileStatus::Empty;
        return image;
    }
    if (st.st_size < 0 || static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
        image.status = FileStatus::TooLarge;
        return image;
    }

    const auto size = static_cast<std::size_t>(st.st_size);
    std::vector<unsigned char> bytes(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd.get(), bytes.data() + done, size - done);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            image.status = FileStatus::ReadError;
            return image;
        }
        if (got == 0)
            break; // shrank while we read it
        done += static_cast<std::size_t>(got);
    }
    if (done != size) {
        image.status = FileStatus::ReadError;
        return image;
    }

    image.status = checkJetImage(bytes, &image.pageSize);
    if (image.status == FileStatus::Ok)
        image.bytes = std::move(bytes);
    return image;
}

std::string fileStatusText(FileStatus status)
{
    switch (status) {
    case FileStatus::Missing: return "Soubor neexistuje.";
    case FileStatus::NotAFile: return "Na tomto místě není soubor (je to složka nebo zařízení).";
    case FileStatus::AccessDenied: return "K souboru není oprávnění ke čtení.";
    case FileStatus::ReadError: return "Soubor se nepodařilo přečíst.";
    case FileStatus::Empty: return "Soubor je prázdný.";
    case FileStatus::TooLarge: return "Soubor je příliš velký na databázi intenzit deště.";
    case FileStatus::NotJet: return "Soubor není databází Microsoft Access (Jet 4.0).";
    case FileStatus::UnsupportedJet: return "Soubor je databází Microsoft Access v nepodporovaném formátu (očekává se Jet 4.0).";
    case FileStatus::Incomplete: return "Soubor je neúplný nebo poškozený.";
    case FileStatus::Ok: break;
    }
    return "Soubor nelze číst.";
}

} // namespace infil::rain
