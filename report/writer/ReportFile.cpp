#include "ReportFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <optional>
#include <random>
#include <utility>

namespace infil::report {

bool WriteAllBytes(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

namespace {

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates a new regular file under an unused name in `folder`: O_EXCL makes
// sure it is ours and fresh, whatever else lies in the folder. -1 with errno
// set when none can be made.
int createTemporary(const std::string& folder, std::string* name)
{
    static std::mt19937_64 random{std::random_device{}()};
    static const char* hex = "0123456789abcdef";
    for (int attempt = 0; attempt < 32; ++attempt) {
        std::uint64_t bits = random();
        std::string suffix;
        for (int k = 0; k < 12; ++k, bits >>= 4)
            suffix.push_back(hex[bits & 0xF]);
        *name = (folder == "/" ? "" : folder) + "/.infil-" + suffix + ".tmp";
        const int fd = ::open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY,
                              0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// Whether another program holds a lock on the file now at `path`. Opened
// without following a link and without waiting (a pipe there would otherwise
// hold us up), and only a regular file is asked.
bool lockedByAnother(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st {};
    // A file system without locks is no reason to fail; only a held lock is.
    const bool held = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                      ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

} // namespace

std::string FileErrorReason(int error)
{
    switch (error) {
    case EACCES:
    case EPERM: return "přístup odepřen";
    case EROFS: return "disk je jen pro čtení";
    case ENOSPC:
    case EDQUOT: return "na disku není dost místa";
    case EFBIG: return "soubor by byl větší, než systém dovoluje";
    case ENOENT:
    case ENOTDIR: return "složka neexistuje";
    case ENAMETOOLONG: return "název souboru je příliš dlouhý";
    case EISDIR: return "na místě souboru je složka";
    case EIO: return "chyba zápisu na disk";
    case EMFILE:
    case ENFILE: return "je otevřeno příliš mnoho souborů";
    default: return "systémová chyba č. " + std::to_string(error);
    }
}

std::string SafeNamePart(std::string_view name)
{
    constexpr std::size_t kMaxBytes = 200;
    std::string out;
    std::size_t i = 0;
    while (i < name.size()) {
        const auto c = static_cast<unsigned char>(name[i]);
        std::size_t len = 1;
        bool valid = true;
        if (c >= 0x80) {
            len = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
            valid = len > 0 && i + len <= name.size();
            for (std::size_t k = 1; valid && k < len; ++k)
                valid = (static_cast<unsigned char>(name[i + k]) & 0xC0) == 0x80;
            if (!valid)
                len = 1;
        }
        std::string piece;
        if (!valid || c < 0x20 || c == 0x7F ||
            std::string_view("/\\:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos)
            piece = "_";
        else if (c == '.' && !out.empty() && out.back() == '.')
            piece = "_"; // no "..": the name can never step out of its folder
        else
            piece = std::string(name.substr(i, len));
        if (out.size() + piece.size() > kMaxBytes)
            break;
        out += piece;
        i += len;
    }
    return out;
}

std::string ResultsFileNameFor(std::string_view projectName)
{
    return "Infil_" + SafeNamePart(projectName);
}

std::string ResultsFilePathFor(std::string_view folder, std::string_view projectName)
{
    std::string dir(folder);
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    if (dir != "/")
        dir += "/";
    return dir + ResultsFileNameFor(projectName);
}

std::string ExistingFileName(std::string_view path)
{
    struct stat st {};
    if (path.empty() || ::stat(std::string(path).c_str(), &st) != 0)
        return "";
    const std::size_t slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

WriteOutcome WriteResultsReport(const ProjectRecord& r, const FormState& form,
                                const ReportControls& controls, const ReportStamp& stamp,
                                MessagePort& messages)
{
    if (r.ResultsFilePath.empty())
        return {WriteStatus::NoPath, "", ""};

    const std::string& path = r.ResultsFilePath;
    // Another program's lock on the old file is respected before anything changes.
    if (lockedByAnother(path)) {
        std::string name = ExistingFileName(path);
        messages.showMessage({MessageIcon::Stop, std::string(kAppTitle),
                              "Soubor " + name + " je otevřený jinou aplikací."});
        return {WriteStatus::InUse, "soubor je otevřený jinou aplikací", std::move(name)};
    }

    std::string reason;
    if (!WriteFileBytes(path, EncodeReport(ResultsReportLines(r, form, controls, stamp)), &reason)) {
        messages.showMessage({MessageIcon::Stop, std::string(kAppTitle),
                              "Výsledky nelze zapsat do souboru " + path + " (" + reason + ")."});
        return {WriteStatus::Failed, reason, ""};
    }
    return {WriteStatus::Written, "", ""};
}

bool WriteFileBytes(const std::string& path, std::string_view bytes, std::string* reason, bool durable)
{
    std::string temporary;
    const int fd = createTemporary(folderOf(path), &temporary);
    int error = fd < 0 ? errno : 0;
    if (fd >= 0) {
        if (!WriteAllBytes(fd, bytes) || (durable && ::fsync(fd) != 0))
            error = errno;
        if (::close(fd) != 0 && error == 0)
            error = errno;
        // rename() replaces the name alone: a link or a pipe standing there is
        // removed, never written through.
        if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
            error = errno;
        if (error != 0)
            ::unlink(temporary.c_str());
    }
    if (error != 0 && reason)
        *reason = FileErrorReason(error);
    return error == 0;
}

void DeleteResultsFile(std::string_view path)
{
    if (!path.empty())
        ::unlink(std::string(path).c_str());
}

std::string RelinkLogo(std::string_view page, std::string_view folder)
{
    const std::string target = "\"" + UrlEncoded(folder) + "/logo.gif\"";

    std::string out;
    const std::string from = "src=" + std::string(kLogoSrc);
    std::size_t start = 0;
    while (true) {
        const std::size_t at = page.find(from, start);
        out.append(page.substr(start, at == std::string_view::npos ? std::string_view::npos
                                                                    : at - start));
        if (at == std::string_view::npos)
            break;
        out += "src=" + target;
        start = at + from.size();
    }
    return out;
}

namespace {

// "%C3%BD" back to its bytes; nullopt for a broken escape.
std::optional<std::string> urlDecoded(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 1])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 2])))
            return std::nullopt;
        out.push_back(static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16)));
        i += 2;
    }
    return out;
}

// Calls `seen(at, length, name)` for every quoted picture source of the page
// that names a file beside it.
template <typename Seen>
void forEachPictureBeside(std::string_view page, Seen&& seen)
{
    constexpr std::string_view open = "src=\"";
    for (std::size_t at = page.find(open); at != std::string_view::npos; at = page.find(open, at + 1)) {
        const std::size_t begin = at + open.size();
        const std::size_t end = page.find('"', begin);
        if (end == std::string_view::npos)
            return;
        const auto name = urlDecoded(page.substr(begin, end - begin));
        // Only a plain name: nothing in a folder, nothing that climbs out of one.
        if (name && !name->empty() && name->find_first_of("/\\:") == std::string::npos && *name != "." &&
            *name != "..")
            seen(begin, end - begin, *name);
    }
}

} // namespace

std::vector<std::string> PicturesBeside(std::string_view page)
{
    std::vector<std::string> names;
    forEachPictureBeside(page, [&](std::size_t, std::size_t, const std::string& name) {
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    });
    return names;
}

std::string RelinkPicturesBeside(std::string_view page, std::string_view folder)
{
    std::string out;
    std::size_t copied = 0;
    forEachPictureBeside(page, [&](std::size_t at, std::size_t length, const std::string& name) {
        out.append(page.substr(copied, at - copied));
        out += UrlEncoded(folder) + "/" + UrlEncoded(name);
        copied = at + length;
    });
    out.append(page.substr(copied));
    return out;
}

} // namespace infil::report
