#include "FileAccess.h"

#include "NumberFormat.h"
#include "ReportFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <random>

namespace infil::project {
namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and says whether closing went well.
    bool close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A link is followed to the file it names, so that saving keeps the link.
std::string resolvedTarget(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real)
        return path; // a dangling link: the new file takes the link's place
    std::string target(real);
    std::free(real);
    return target;
}

std::string notAFileReason(mode_t mode)
{
    return S_ISDIR(mode) ? "na tomto místě je složka, ne soubor"
                         : "na tomto místě není obyčejný soubor (je to roura, zařízení nebo socket)";
}

} // namespace

std::string systemReason(int error)
{
    // Reading names what is missing; the rest says what writing says.
    switch (error) {
    case ENOENT: return "soubor neexistuje";
    case ELOOP: return "cesta obsahuje příliš mnoho odkazů";
    case EXDEV: return "soubor nelze přesunout na jiný disk";
    default: return report::FileErrorReason(error);
    }
}

std::optional<std::string> readFileLimited(const std::string& path, std::size_t limit, std::string* reason)
{
    auto fail = [&](std::string why) -> std::optional<std::string> {
        if (reason)
            *reason = std::move(why);
        return std::nullopt;
    };
    // O_NONBLOCK: opening a pipe must not wait for a writer that never comes.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0)
        return fail(systemReason(errno));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return fail(systemReason(errno));
    if (!S_ISREG(st.st_mode))
        return fail(notAFileReason(st.st_mode));
    if (static_cast<std::uintmax_t>(st.st_size) > limit)
        return fail("soubor je větší, než projekt může být (" + num::fixed(static_cast<double>(st.st_size), 0) +
                    " bajtů, nejvýše " + num::fixed(static_cast<double>(limit), 0) + ")");
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    // A file that grows while it is read is read only up to the limit.
    while (true) {
        if (done == bytes.size()) {
            if (bytes.size() > limit)
                return fail("soubor je větší, než projekt může být");
            bytes.resize(bytes.size() + 4096);
        }
        const ssize_t n = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(systemReason(errno));
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

WriteCalls systemWriteCalls()
{
    return {[](int fd, const void* data, std::size_t size) { return ::write(fd, data, size); },
            [](int fd) { return ::fsync(fd); },
            [](const char* from, const char* to) { return ::rename(from, to); }};
}

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string* reason,
                         const WriteCalls& calls, unsigned newFileMode)
{
    auto fail = [&](std::string why) {
        if (reason)
            *reason = std::move(why);
        return false;
    };
    const std::string target = resolvedTarget(path);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        return fail(notAFileReason(old.st_mode));

    // A new file under a name no one else uses, in the same folder, so that
    // renaming it replaces the old one in one step.
    static std::mt19937_64 random{std::random_device{}()};
    const std::string folder = folderOf(target);
    std::string temporary;
    int fdNumber = -1;
    for (int attempt = 0; attempt < 32 && fdNumber < 0; ++attempt) {
        temporary = (folder == "/" ? "" : folder) + "/." + nameOf(target) + "." + std::to_string(random() % 1000000000) +
                    ".tmp";
        fdNumber = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY,
                          static_cast<mode_t>(newFileMode));
        if (fdNumber < 0 && errno != EEXIST)
            break;
    }
    if (fdNumber < 0)
        return fail(report::FileErrorReason(errno));
    Descriptor fd(fdNumber);
    int error = 0;
    if (exists && ::fchmod(fd.get(), old.st_mode & 07777) != 0)
        error = errno;
    std::size_t done = 0;
    while (error == 0 && done < bytes.size()) {
        const ssize_t n = calls.write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno != EINTR)
                error = errno;
            continue;
        }
        done += static_cast<std::size_t>(n);
    }
    if (error == 0 && calls.fsync(fd.get()) != 0)
        error = errno;
    if (!fd.close() && error == 0)
        error = errno;
    if (error == 0 && calls.rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return fail(report::FileErrorReason(error));
    }
    // The new name itself reaches the disk with the folder.
    Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
    return true;
}

} // namespace infil::project
