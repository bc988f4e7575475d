#pragma once
// The per-user registration store: where in-process servers record their
// classes (keys and string values, like a registry hive) and where hosts look
// them up. It is a platform service, not part of any server library, and it is
// header-only so that a server and its hosts each compile it without linking
// one another.
//
// The store is a small text file, $VEER12_REGISTRY when that is set, else
// $XDG_CONFIG_HOME/veer12/classes.reg (~/.config when XDG_CONFIG_HOME is unset
// or not absolute). A system-wide store in the same form, written when the
// library is installed for everyone, is consulted after the user's own.
// Keys are paths whose parts are separated by a backslash and compared without
// regard to ASCII case; "" names a key's default value.
//
//   ; comment
//   [CLSID\{AC21760D-5B12-11D4-A41F-94EBAB2B3626}\InprocServer32]
//   @="/usr/lib/libVeer12.so"
//   "ThreadingModel"="Apartment"
//
// Writers change it under an exclusive lock of its folder and replace the file
// in one rename, so a reader never sees half a store; comments survive the
// rewrite. Whatever loads a library on the strength of the store must trust
// it: a store is read only when it is a regular file of modest size that no
// other user can write or replace, and a library only by its absolute path.

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#ifndef VEER12_SYSTEM_REGISTRY_FILE
#define VEER12_SYSTEM_REGISTRY_FILE "/etc/veer12/classes.reg"
#endif

namespace platform {

class RegistrationStore {
public:
    // --- keys and values -------------------------------------------------

    bool hasKey(std::string_view path) const { return keys_.count(fold(path)) > 0; }

    // Creates the key and any missing parent; false for a malformed path.
    bool createKey(std::string_view path)
    {
        std::vector<std::string> parts;
        if (!split(path, &parts))
            return false;
        std::string display;
        for (const std::string& part : parts) {
            if (!display.empty())
                display += '\\';
            display += part;
            keys_.try_emplace(fold(display), Key{display, {}, {}});
        }
        return true;
    }

    // Removes the key with everything below it; false when there was none.
    bool deleteTree(std::string_view path)
    {
        const std::string key = fold(path);
        auto it = keys_.find(key);
        if (it == keys_.end())
            return false;
        const std::string below = key + '\\';
        keys_.erase(it);
        // The keys below share the prefix "key\", so they sort next to each other.
        it = keys_.lower_bound(below);
        while (it != keys_.end() && it->first.compare(0, below.size(), below) == 0)
            it = keys_.erase(it);
        return true;
    }

    // Sets a string value, creating the key; false for a malformed path or name.
    bool setValue(std::string_view path, std::string_view name, std::string_view value)
    {
        if (!validName(name, true) || !createKey(path))
            return false;
        valueSlot(keys_.at(fold(path)), name).text = std::string(value);
        return true;
    }

    bool deleteValue(std::string_view path, std::string_view name)
    {
        auto it = keys_.find(fold(path));
        if (it == keys_.end())
            return false;
        auto& values = it->second.values;
        for (auto v = values.begin(); v != values.end(); ++v)
            if (fold(v->name) == fold(name)) {
                values.erase(v);
                return true;
            }
        return false;
    }

    std::optional<std::string> value(std::string_view path, std::string_view name = {}) const
    {
        auto it = keys_.find(fold(path));
        if (it == keys_.end())
            return std::nullopt;
        for (const auto& v : it->second.values)
            if (fold(v.name) == fold(name))
                return v.text;
        return std::nullopt;
    }

    // The values of a key in the order they were set.
    std::vector<std::pair<std::string, std::string>> values(std::string_view path) const
    {
        std::vector<std::pair<std::string, std::string>> pairs;
        if (auto it = keys_.find(fold(path)); it != keys_.end())
            for (const auto& v : it->second.values)
                pairs.emplace_back(v.name, v.text);
        return pairs;
    }

    // The names of a key's direct subkeys.
    std::vector<std::string> subkeys(std::string_view path) const
    {
        std::vector<std::string> names;
        const std::string below = fold(path) + '\\';
        for (auto it = keys_.lower_bound(below);
             it != keys_.end() && it->first.compare(0, below.size(), below) == 0; ++it) {
            if (it->first.find('\\', below.size()) == std::string::npos)
                names.push_back(it->second.path.substr(below.size()));
        }
        return names;
    }

    bool empty() const { return keys_.empty(); }

    // --- text form ---------------------------------------------------------

    // Comment lines stay where they stood: those above the first key and a
    // blank line head the file, others go with the key or value right below
    // them, the rest end it.
    std::string serialize() const
    {
        std::string out;
        if (header_.empty())
            out = "; Registrations of in-process classes. Written by their\n"
                  "; registration entry points; edit with care.\n";
        for (const std::string& line : header_)
            out += line + '\n';
        for (const auto& [folded, key] : keys_) {
            out += '\n';
            for (const std::string& line : key.comments)
                out += line + '\n';
            out += "[" + key.path + "]\n";
            for (const Value& v : key.values) {
                for (const std::string& line : v.comments)
                    out += line + '\n';
                out += (v.name.empty() ? std::string("@") : quote(v.name)) + '=' + quote(v.text) + '\n';
            }
        }
        for (const std::string& line : trailer_)
            out += line + '\n';
        return out;
    }

    // Nothing (and *error says where) when a line is not understood.
    static std::optional<RegistrationStore> parse(std::string_view text, std::string* error = nullptr)
    {
        RegistrationStore store;
        std::string current;
        bool inKey = false;
        std::vector<std::string> comments; // waiting for the line they stand above
        std::size_t headerLines = 0;       // of those, the ones above a blank line
        std::size_t lineNo = 0;
        auto fail = [&](const char* what) -> std::optional<RegistrationStore> {
            if (error)
                *error = "line " + std::to_string(lineNo) + ": " + what;
            return std::nullopt;
        };
        auto attach = [&](std::vector<std::string>& to) {
            to.insert(to.end(), comments.begin(), comments.end());
            comments.clear();
        };
        while (!text.empty()) {
            ++lineNo;
            std::size_t end = text.find('\n');
            std::string_view line = text.substr(0, end);
            text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            if (line.empty()) {
                headerLines = comments.size();
                continue;
            }
            if (line.front() == ';' || line.front() == '#') {
                while (line.back() == '\r') // written back with one line end only
                    line.remove_suffix(1);
                comments.emplace_back(line);
                continue;
            }
            if (line.front() == '[') {
                if (line.size() < 3 || line.back() != ']')
                    return fail("a key is written as [path]");
                current = std::string(line.substr(1, line.size() - 2));
                if (!store.createKey(current))
                    return fail("malformed key path");
                if (!inKey) {
                    const auto split = comments.begin() + static_cast<std::ptrdiff_t>(headerLines);
                    store.header_.assign(comments.begin(), split);
                    comments.erase(comments.begin(), split);
                }
                attach(store.keys_.at(fold(current)).comments);
                inKey = true;
                continue;
            }
            if (!inKey)
                return fail("a value outside any key");
            std::string name, value;
            std::size_t pos = 0;
            if (line.front() == '@') {
                pos = 1;
            } else if (!unquote(line, &pos, &name) || name.empty()) {
                return fail("a value name is written in double quotes");
            }
            if (pos >= line.size() || line[pos] != '=')
                return fail("'=' expected after the value name");
            ++pos;
            if (!unquote(line, &pos, &value) || pos != line.size())
                return fail("a value is written in double quotes");
            if (!store.setValue(current, name, value))
                return fail("malformed value name");
            attach(valueSlot(store.keys_.at(fold(current)), name).comments);
        }
        (inKey ? store.trailer_ : store.header_) = std::move(comments);
        return store;
    }

    // --- the file ------------------------------------------------------------

    // Far more than the registrations of many servers take.
    static constexpr std::size_t kMaxFileSize = 1 << 20;

    // Unsafe: the file could have been written by another user (it or its
    // folder is theirs, or open to them to write); nothing of it is trusted.
    enum class LoadResult { Loaded, Missing, Unreadable, Unsafe };

    // A missing file loads as an empty store. Opening never waits (a FIFO in
    // its place) and only a regular file of at most kMaxFileSize bytes is read.
    static LoadResult load(const std::string& file, RegistrationStore* store, std::string* error = nullptr)
    {
        *store = RegistrationStore();
        auto failWith = [&](LoadResult result, const std::string& why) {
            if (error)
                *error = file + ": " + why;
            return result;
        };
        // Looked at before it is opened: opening a device may already do
        // something. What is swapped in meanwhile is caught after opening.
        struct stat st{};
        if (::stat(file.c_str(), &st) != 0) {
            if (errno == ENOENT)
                return LoadResult::Missing;
            return failWith(LoadResult::Unreadable, std::strerror(errno));
        }
        if (!S_ISREG(st.st_mode))
            return failWith(LoadResult::Unreadable, "not a regular file");
        int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            if (errno == ENOENT)
                return LoadResult::Missing;
            return failWith(LoadResult::Unreadable, std::strerror(errno));
        }
        struct Closer {
            int fd;
            ~Closer() { ::close(fd); }
        } closer{fd};
        if (::fstat(fd, &st) != 0)
            return failWith(LoadResult::Unreadable, std::strerror(errno));
        if (!S_ISREG(st.st_mode))
            return failWith(LoadResult::Unreadable, "not a regular file");
        if (static_cast<unsigned long long>(st.st_size) > kMaxFileSize)
            return failWith(LoadResult::Unreadable, "larger than " + std::to_string(kMaxFileSize) + " bytes");
        if (std::string why = whoElseMayWrite(file, st); !why.empty())
            return failWith(LoadResult::Unsafe, why);

        std::string text;
        char buf[8192];
        while (true) {
            ssize_t n = ::read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return failWith(LoadResult::Unreadable, std::strerror(errno));
            if (n == 0)
                break;
            text.append(buf, static_cast<std::size_t>(n));
            if (text.size() > kMaxFileSize) // it grew while we read
                return failWith(LoadResult::Unreadable, "larger than " + std::to_string(kMaxFileSize) + " bytes");
        }
        std::string why;
        auto parsed = parse(text, &why);
        if (!parsed)
            return failWith(LoadResult::Unreadable, why);
        *store = std::move(*parsed);
        return LoadResult::Loaded;
    }

    // Writes the whole store into a new file beside the old one and renames
    // it over the old one. An empty store removes the file.
    bool save(const std::string& file, std::string* error = nullptr) const
    {
        auto failWith = [&](const std::string& what) {
            if (error)
                *error = file + ": " + what + ": " + std::strerror(errno);
            return false;
        };
        if (!makeFolders(folderOf(file)))
            return failWith("cannot create its folder");
        if (empty()) {
            if (::unlink(file.c_str()) != 0 && errno != ENOENT)
                return failWith("cannot remove");
            return true;
        }
        const std::string temp = file + ".new" + std::to_string(::getpid());
        const std::string text = serialize();
        // A leftover of a writer that died under the same process number goes;
        // the new file is ours alone, never something a link points to.
        ::unlink(temp.c_str());
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0)
            return failWith("cannot write");
        std::size_t done = 0;
        while (done < text.size()) {
            ssize_t n = ::write(fd, text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                const int saved = errno;
                ::close(fd);
                ::unlink(temp.c_str());
                errno = saved;
                return failWith("cannot write");
            }
            done += static_cast<std::size_t>(n);
        }
        if (::fsync(fd) != 0 || ::close(fd) != 0) {
            const int saved = errno;
            ::unlink(temp.c_str());
            errno = saved;
            return failWith("cannot write");
        }
        if (::rename(temp.c_str(), file.c_str()) != 0) {
            const int saved = errno;
            ::unlink(temp.c_str());
            errno = saved;
            return failWith("cannot replace");
        }
        return true;
    }

    // --- helpers -------------------------------------------------------------

    static std::string folderOf(const std::string& file)
    {
        const std::size_t slash = file.rfind('/');
        if (slash == std::string::npos)
            return ".";
        return slash == 0 ? "/" : file.substr(0, slash);
    }

    // Why a user other than this one (or root) may have written the file
    // whose status is `st`; empty when none can. Its folder counts too, since
    // whoever may write there may put another file in its place, unless the
    // folder is sticky (as /tmp is) and the file is not theirs.
    static std::string whoElseMayWrite(const std::string& file, const struct stat& st)
    {
        const uid_t me = ::geteuid();
        auto trusted = [me](uid_t owner) { return owner == me || owner == 0; };
        if (!trusted(st.st_uid))
            return "owned by another user";
        if (st.st_mode & (S_IWGRP | S_IWOTH))
            return "others may write it";
        std::vector<std::string> folders{folderOf(file)};
        char resolved[PATH_MAX];
        if (::realpath(file.c_str(), resolved) && folderOf(resolved) != folders.front())
            folders.push_back(folderOf(resolved));
        for (const std::string& folder : folders) {
            struct stat fst{};
            if (::stat(folder.c_str(), &fst) != 0)
                return "its folder " + folder + " cannot be checked";
            if (!trusted(fst.st_uid))
                return "its folder " + folder + " belongs to another user";
            if ((fst.st_mode & (S_IWGRP | S_IWOTH)) && !(fst.st_mode & S_ISVTX))
                return "others may write its folder " + folder;
        }
        return {};
    }

    // mkdir -p; new folders are private to the user.
    static bool makeFolders(const std::string& folder)
    {
        if (folder.empty())
            return true;
        struct stat st{};
        if (::stat(folder.c_str(), &st) == 0)
            return S_ISDIR(st.st_mode) || (errno = ENOTDIR, false);
        const std::size_t slash = folder.rfind('/');
        if (slash != std::string::npos && slash > 0 && !makeFolders(folder.substr(0, slash)))
            return false;
        return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
    }

private:
    struct Value {
        std::string name, text;
        std::vector<std::string> comments; // the comment lines above it
    };
    struct Key {
        std::string path; // as first written
        std::vector<std::string> comments;
        std::vector<Value> values;
    };

    // The value of that name, added empty when missing.
    static Value& valueSlot(Key& key, std::string_view name)
    {
        for (Value& v : key.values)
            if (fold(v.name) == fold(name))
                return v;
        return key.values.emplace_back(Value{std::string(name), {}, {}});
    }

    static std::string fold(std::string_view s)
    {
        std::string r(s);
        for (char& c : r)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return r;
    }

    // A key or value name holds no line break or other control character; a
    // key name also no backslash or bracket, and is not empty.
    static bool validName(std::string_view name, bool valueName)
    {
        for (unsigned char c : name)
            if (c < 0x20 || c == 0x7F || (!valueName && (c == '\\' || c == '[' || c == ']')))
                return false;
        return valueName || !name.empty();
    }

    static bool split(std::string_view path, std::vector<std::string>* parts)
    {
        if (path.empty())
            return false;
        while (true) {
            const std::size_t sep = path.find('\\');
            std::string_view part = path.substr(0, sep);
            if (!validName(part, false))
                return false;
            parts->emplace_back(part);
            if (sep == std::string_view::npos)
                return true;
            path.remove_prefix(sep + 1);
        }
    }

    static std::string quote(std::string_view s)
    {
        std::string out = "\"";
        for (unsigned char c : s) {
            switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char buf[5];
                    std::snprintf(buf, sizeof buf, "\\x%02X", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
            }
        }
        return out + '"';
    }

    // Reads "..." at *pos, leaving *pos after the closing quote.
    static bool unquote(std::string_view line, std::size_t* pos, std::string* out)
    {
        std::size_t i = *pos;
        if (i >= line.size() || line[i] != '"')
            return false;
        ++i;
        out->clear();
        while (i < line.size() && line[i] != '"') {
            char c = line[i++];
            if (c != '\\') {
                *out += c;
                continue;
            }
            if (i >= line.size())
                return false;
            switch (char e = line[i++]) {
            case '"': *out += '"'; break;
            case '\\': *out += '\\'; break;
            case 'n': *out += '\n'; break;
            case 'r': *out += '\r'; break;
            case 't': *out += '\t'; break;
            case 'x': {
                if (i + 2 > line.size())
                    return false;
                unsigned v = 0;
                for (int k = 0; k < 2; ++k) {
                    const char h = line[i++];
                    v <<= 4;
                    if (h >= '0' && h <= '9')
                        v |= static_cast<unsigned>(h - '0');
                    else if (h >= 'A' && h <= 'F')
                        v |= static_cast<unsigned>(h - 'A' + 10);
                    else if (h >= 'a' && h <= 'f')
                        v |= static_cast<unsigned>(h - 'a' + 10);
                    else
                        return false;
                }
                *out += static_cast<char>(v);
                break;
            }
            default:
                (void)e;
                return false;
            }
        }
        if (i >= line.size())
            return false;
        *pos = i + 1;
        return true;
    }

    std::map<std::string, Key> keys_; // by folded path
    std::vector<std::string> header_, trailer_;
};

// Where the store lies for this user.
inline std::string registrationStorePath()
{
    if (const char* file = std::getenv("VEER12_REGISTRY"); file && *file)
        return file;
    std::string config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        config = xdg;
    else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            const passwd* pw = ::getpwuid(::getuid());
            home = pw ? pw->pw_dir : "/tmp";
        }
        config = std::string(home) + "/.config";
    }
    return config + "/veer12/classes.reg";
}

// The system-wide store: $VEER12_SYSTEM_REGISTRY when that is set, else the
// file the installation names.
inline std::string systemRegistrationStorePath()
{
    if (const char* file = std::getenv("VEER12_SYSTEM_REGISTRY"); file && *file)
        return file;
    return VEER12_SYSTEM_REGISTRY_FILE;
}

// Holds the store's folder locked against other writers while it lives.
class StoreLock {
public:
    explicit StoreLock(const std::string& file)
    {
        const std::string folder = RegistrationStore::folderOf(file);
        if (!RegistrationStore::makeFolders(folder))
            return;
        fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ >= 0) {
            int r;
            do
                r = ::flock(fd_, LOCK_EX);
            while (r != 0 && errno == EINTR);
            if (r != 0) {
                ::close(fd_);
                fd_ = -1;
            }
        }
    }
    ~StoreLock()
    {
        if (fd_ >= 0)
            ::close(fd_); // closing drops the lock
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    bool locked() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// What a host needs to create an object of a registered class.
struct InprocServer {
    std::string clsid;   // "{...}"
    std::string library; // absolute path, as registered
};

// Follows a ProgID ("Veer12.Veer.1") to its class and in-process server. A
// library named by a relative path is refused: it would be looked for
// wherever the host happens to run. *problem says why, when it is refused.
inline std::optional<InprocServer> findInprocServer(const RegistrationStore& store, std::string_view progId,
                                                    std::string* problem = nullptr)
{
    auto clsid = store.value(std::string(progId) + "\\CLSID");
    if (!clsid || clsid->empty())
        return std::nullopt;
    auto library = store.value("CLSID\\" + *clsid + "\\InprocServer32");
    if (!library || library->empty())
        return std::nullopt;
    if (library->front() != '/') {
        if (problem)
            *problem = std::string(progId) + ": the library \"" + *library + "\" is not named by an absolute path";
        return std::nullopt;
    }
    return InprocServer{*clsid, *library};
}

// The stores a host consults, in order: the user's own, then the system's.
inline std::vector<std::string> registrationStores()
{
    return {registrationStorePath(), systemRegistrationStorePath()};
}

// The servers registered for a ProgID in each of `stores`, in their order
// (the user's registration goes before the system's), each library once. A
// store that cannot be read or is not safe to trust is passed over, and so is
// an entry that cannot be used; *problems gets a line for each.
inline std::vector<InprocServer> findInprocServers(std::string_view progId, const std::vector<std::string>& stores,
                                                   std::vector<std::string>* problems = nullptr)
{
    std::vector<InprocServer> found;
    for (const std::string& file : stores) {
        RegistrationStore store;
        std::string why;
        const auto loaded = RegistrationStore::load(file, &store, &why);
        if (loaded == RegistrationStore::LoadResult::Missing)
            continue;
        if (loaded != RegistrationStore::LoadResult::Loaded) {
            if (problems)
                problems->push_back(why + "; its registrations are ignored");
            continue;
        }
        auto server = findInprocServer(store, progId, &why);
        if (!server) {
            if (problems && !why.empty())
                problems->push_back(file + ": " + why + "; ignored");
            continue;
        }
        bool known = false;
        for (const InprocServer& s : found)
            known = known || s.library == server->library;
        if (!known)
            found.push_back(std::move(*server));
    }
    return found;
}

} // namespace platform
