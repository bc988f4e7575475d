#include "Session.h"

#include "FileAccess.h"
#include "ProjectFile.h"

#include "model/Application.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <random>

namespace infil::project {
namespace {

const char* const kUntitled = "Bez názvu";
const char* const kSaveChangesFailed = "Projekt nelze uložit do souboru ";
const char* const kOpenFailed = "Projekt nelze otevřít ze souboru ";
const char* const kRecoveryPrefix = "recovery-";

std::string nameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return "";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Paths are kept whole, so that the recent list still finds them from
// another working folder.
std::string wholePath(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path whole = std::filesystem::absolute(path, ec);
    return ec ? path : whole.lexically_normal().string();
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A name the user gave without an extension gets the project's.
std::string withExtension(const std::string& path)
{
    const std::string name = nameOf(path);
    return name.find('.') == std::string::npos ? path + Session::kExtension : path;
}

// Locks a recovery copy's lock file for this program; -1 when another running
// program holds it (or it cannot be made).
int lockFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

model::DateTime localTime(std::time_t t)
{
    std::tm local{};
    localtime_r(&t, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

// Records the messages of a project being replayed: they belong to the
// session that made it, not to the user opening the file.
class SilentMessages : public MessagePort {
public:
    void showMessage(const Message&) override {}
};

} // namespace

Prompts::Answer Prompts::askSaveChanges(const std::string&) { return Answer::Discard; }
std::optional<std::string> Prompts::askOpenPath(const std::string&) { return std::nullopt; }
std::optional<std::string> Prompts::askSavePath(const std::string&) { return std::nullopt; }
bool Prompts::askYesNo(const std::string&) { return false; }

Session::Session(model::Application& app) : app_(app) {}

Session::~Session() { releaseRecovery(false); }

void Session::start()
{
    started_ = true;
    baseline_ = currentInputs();
    setModified(false);
}

Fingerprint Session::currentInputs() { return fingerprint(app_); }

void Session::actionDone()
{
    if (!started_)
        return;
    setModified(currentInputs() != baseline_);
}

void Session::setModified(bool modified)
{
    if (modified_ == modified)
        return;
    modified_ = modified;
    notify();
}

void Session::notify()
{
    for (const auto& observer : observers_)
        observer();
}

std::string Session::title() const
{
    if (path_.empty() && !modified_)
        return kTitle;
    return (path_.empty() ? std::string(kUntitled) : nameOf(path_)) + (modified_ ? "*" : "") + " - " + kTitle;
}

void Session::setRecent(std::vector<std::string> files)
{
    std::vector<std::string> kept;
    for (auto& file : files)
        if (!file.empty() && std::find(kept.begin(), kept.end(), file) == kept.end() && kept.size() < kRecentCount)
            kept.push_back(std::move(file));
    if (kept == recent_)
        return;
    recent_ = std::move(kept);
    notify();
}

void Session::remember(const std::string& path)
{
    std::vector<std::string> files{path};
    files.insert(files.end(), recent_.begin(), recent_.end());
    setRecent(std::move(files));
}

// ---------------------------------------------------------------------------
// Commands

bool Session::saveChangesFirst()
{
    if (!modified_)
        return true;
    switch (prompts_->askSaveChanges(path_.empty() ? kUntitled : nameOf(path_))) {
    case Prompts::Answer::Save: return save();
    case Prompts::Answer::Discard: return true;
    case Prompts::Answer::Cancel: return false;
    }
    return false;
}

bool Session::newProject()
{
    if (!saveChangesFirst())
        return false;
    apply(nullptr);
    path_.clear();
    unknown_ = nlohmann::ordered_json::object();
    baseline_ = currentInputs();
    modified_ = false;
    releaseRecovery(true);
    notify();
    return true;
}

bool Session::open()
{
    if (!saveChangesFirst())
        return false;
    const std::string start = path_.empty() ? (recent_.empty() ? "" : folderOf(recent_.front())) : folderOf(path_);
    const std::optional<std::string> chosen = prompts_->askOpenPath(start);
    if (!chosen || chosen->empty())
        return false;
    return load(*chosen, false);
}

bool Session::openFile(const std::string& path)
{
    if (!saveChangesFirst())
        return false;
    return load(path, false);
}

bool Session::load(const std::string& given, bool recovering)
{
    const std::string path = wholePath(given);
    std::string reason;
    std::variant<ProjectData, ReadError> read = ReadError{};
    if (const std::optional<std::string> bytes = readFileLimited(path, kMaxFileBytes, &reason))
        read = decode(*bytes);
    else
        read = ReadError{reason};
    if (const auto* error = std::get_if<ReadError>(&read)) {
        app_.messages().showMessage(
            {MessageIcon::Stop, std::string(kAppTitle), kOpenFailed + path + " (" + error->reason + ")."});
        // A recent entry whose file is gone is of no use any more.
        if (!recovering && ::access(path.c_str(), F_OK) != 0 && errno == ENOENT) {
            std::vector<std::string> files = recent_;
            files.erase(std::remove(files.begin(), files.end(), path), files.end());
            setRecent(std::move(files));
        }
        return false;
    }
    const ProjectData& data = std::get<ProjectData>(read);
    apply(&data);
    unknown_ = data.unknown;
    if (!recovering) {
        saved(path); // what the file holds is what the window shows
        return true;
    }
    path_ = data.recoveryOf.value_or("");
    baseline_.reset(); // nothing of it is saved
    modified_ = true;
    notify();
    return true;
}

void Session::apply(const ProjectData* data)
{
    // The project is built in a copy of the application first; only a
    // complete one replaces what the user has.
    SilentMessages silent;
    std::unique_ptr<model::Application> fresh = app_.freshCopy(silent);
    if (data)
        restore(*fresh, *data);
    app_.adopt(*fresh);
    if (data && data->tab != 0)
        app_.calc().selectTab(data->tab);
}

bool Session::save()
{
    if (path_.empty())
        return saveAs();
    return saveTo(path_);
}

bool Session::saveAs()
{
    std::string suggestion = path_;
    if (suggestion.empty()) {
        const std::string& name = app_.record().ProjName;
        std::string safe;
        for (const char c : name)
            safe += (c == '/' || static_cast<unsigned char>(c) < 0x20) ? '_' : c;
        suggestion = (safe.empty() ? std::string("projekt") : safe) + kExtension;
        if (!recent_.empty())
            suggestion = folderOf(recent_.front()) + "/" + suggestion;
    }
    const std::optional<std::string> chosen = prompts_->askSavePath(suggestion);
    if (!chosen || chosen->empty())
        return false;
    return saveTo(withExtension(*chosen));
}

bool Session::saveTo(const std::string& given)
{
    const std::string path = wholePath(given);
    ProjectData data = capture(app_);
    data.unknown = unknown_;
    std::string reason;
    if (!writeFileAtomically(path, encode(toJson(data, app_)), &reason)) {
        app_.messages().showMessage(
            {MessageIcon::Stop, std::string(kAppTitle), kSaveChangesFailed + path + " (" + reason + ")."});
        return false;
    }
    saved(path);
    return true;
}

void Session::saved(const std::string& path)
{
    path_ = path;
    baseline_ = currentInputs();
    modified_ = false;
    remember(path);
    releaseRecovery(true);
    notify();
}

bool Session::confirmClose()
{
    if (!saveChangesFirst())
        return false;
    releaseRecovery(true);
    return true;
}

// ---------------------------------------------------------------------------
// Recovery

void Session::setRecoveryFolder(std::string folder) { recoveryFolder_ = std::move(folder); }

void Session::releaseRecovery(bool remove)
{
    if (remove && !recoveryFile_.empty()) {
        ::unlink(recoveryFile_.c_str());
        ::unlink((recoveryFile_ + ".lock").c_str());
    }
    if (recoveryLock_ >= 0)
        ::close(recoveryLock_);
    recoveryLock_ = -1;
    recoveryFile_.clear();
    recoveryWritten_.reset();
}

void Session::recoveryTick()
{
    if (recoveryFolder_.empty() || !started_)
        return;
    if (!modified_) {
        releaseRecovery(true);
        return;
    }
    Fingerprint inputs = currentInputs();
    if (!recoveryFile_.empty() && inputs == recoveryWritten_)
        return; // the copy holds these changes already
    ProjectData data = capture(app_);
    if (recoveryFile_.empty()) {
        // The folder is private to the user: the copy holds the whole design.
        std::error_code ignored;
        std::filesystem::create_directories(recoveryFolder_, ignored);
        ::chmod(recoveryFolder_.c_str(), 0700);
        static std::mt19937_64 random{std::random_device{}()};
        const std::string file = recoveryFolder_ + "/" + kRecoveryPrefix + std::to_string(::getpid()) + "-" +
                                 std::to_string(random() % 1000000000) + kExtension;
        recoveryLock_ = lockFile(file + ".lock");
        if (recoveryLock_ < 0)
            return; // no copy this time; the next tick tries again
        recoveryFile_ = file;
    }
    data.unknown = unknown_;
    data.recoveryOf = path_;
    std::string reason;
    // A failure here is not worth a message every half minute; the next tick
    // tries again.
    if (writeFileAtomically(recoveryFile_, encode(toJson(data, app_)), &reason, systemWriteCalls(), 0600))
        recoveryWritten_ = std::move(inputs);
}

void Session::discardRecovery() { releaseRecovery(true); }

bool Session::offerRecovery()
{
    if (recoveryFolder_.empty())
        return false;
    // Copies whose lock nobody holds were left by a program that ended
    // without saving; the newest is offered.
    DIR* dir = ::opendir(recoveryFolder_.c_str());
    if (!dir)
        return false;
    std::string newest;
    std::time_t newestTime = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.rfind(kRecoveryPrefix, 0) != 0 || !endsWith(name, kExtension))
            continue;
        const std::string file = recoveryFolder_ + "/" + name;
        if (file == recoveryFile_)
            continue;
        struct stat st {};
        if (::lstat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        const int lock = lockFile(file + ".lock");
        if (lock < 0)
            continue; // its program is still running
        ::close(lock);
        if (newest.empty() || st.st_mtime > newestTime) {
            newest = file;
            newestTime = st.st_mtime;
        }
    }
    ::closedir(dir);
    if (newest.empty())
        return false;

    auto forget = [&] {
        ::unlink(newest.c_str());
        ::unlink((newest + ".lock").c_str());
    };
    // The question names the project's file when it had one.
    std::string reason;
    std::string from;
    if (const auto bytes = readFileLimited(newest, kMaxFileBytes, &reason)) {
        const auto read = decode(*bytes);
        if (const auto* data = std::get_if<ProjectData>(&read); data && data->recoveryOf && !data->recoveryOf->empty())
            from = " (" + nameOf(*data->recoveryOf) + ")";
    }
    const model::DateTime when = localTime(newestTime);
    const std::string question = "Obnovit neuložený projekt z " + app_.platform().shortDate(when) + " " +
                                 app_.platform().timeOfDay(when) + from + "?";
    if (!prompts_->askYesNo(question)) {
        forget();
        return false;
    }
    if (!load(newest, true)) {
        forget();
        return false;
    }
    // The restored changes are safe in this program's own copy before the
    // old one goes.
    recoveryTick();
    forget();
    return true;
}

} // namespace infil::project
