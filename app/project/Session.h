#pragma once
// The project the program works on: its file, whether it has changes not yet
// saved, the commands of the menu "Soubor", the recently opened files and the
// recovery copy written while changes are unsaved. The window and the batch
// mode call these; what to ask the user goes through Prompts.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ProjectFile.h"

#include <nlohmann/json.hpp>

namespace infil::model {
class Application;
}

namespace infil::project {

// The questions a project command may ask. The window asks the user; without
// one (the batch mode, tests) changes are discarded and no file is chosen.
class Prompts {
public:
    enum class Answer { Save, Discard, Cancel };
    virtual ~Prompts() = default;
    // "Uložit změny?" about the project titled `name`.
    virtual Answer askSaveChanges(const std::string& name);
    // The file to open, starting in `folder`; nullopt when cancelled.
    virtual std::optional<std::string> askOpenPath(const std::string& folder);
    // The name to save under, `suggestion` offered; nullopt when cancelled.
    virtual std::optional<std::string> askSavePath(const std::string& suggestion);
    // A yes-or-no question ("Obnovit neuložený projekt z …?").
    virtual bool askYesNo(const std::string& question);
};

class Session {
public:
    static constexpr std::size_t kRecentCount = 8;
    static constexpr const char* kExtension = ".infil";
    // The base of the window's title.
    static constexpr const char* kTitle = "INFIL - Výpočet infilovacích zařízení";

    explicit Session(model::Application& app);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Starts keeping track of changes: the state now is a new, unchanged
    // project. Until then nothing counts as a change.
    void start();

    // ---- the menu "Soubor"; each returns whether it was done ----
    // Nový: an empty project, after asking to save changes.
    bool newProject();
    // Otevřít…: asks to save changes, then for the file.
    bool open();
    // Opens a file named elsewhere (the recent list, a dropped file, the
    // command line), after asking to save changes.
    bool openFile(const std::string& path);
    // Uložit: under the project's name, or as Uložit jako… when it has none.
    bool save();
    // Uložit jako…: asks for the name.
    bool saveAs();
    // Saves under `path` (the batch mode); the project takes that name.
    bool saveTo(const std::string& path);
    // Closing the window: asks to save changes; false when the user keeps it open.
    bool confirmClose();

    // ---- state ----
    const std::string& path() const { return path_; }
    bool modified() const { return modified_; }
    // "název.infil* - INFIL - …" while there are changes; the base title for
    // an untouched new project.
    std::string title() const;
    // The recently opened or saved files, newest first.
    const std::vector<std::string>& recent() const { return recent_; }
    void setRecent(std::vector<std::string> files);

    // After every user action: updates the unsaved mark.
    void actionDone();

    // ---- recovery ----
    // Where recovery copies are kept (the user's state folder); empty: none.
    void setRecoveryFolder(std::string folder);
    // Called every 30 seconds: writes the recovery copy while there are
    // unsaved changes, and removes it when there are none.
    void recoveryTick();
    // At start: offers the newest copy a program left behind when it ended
    // without saving ("Obnovit neuložený projekt z …?"). True when one was
    // restored.
    bool offerRecovery();
    // Ending normally: the own recovery copy goes.
    void discardRecovery();
    // The own recovery copy, empty before the first one is written.
    const std::string& recoveryFile() const { return recoveryFile_; }

    void setPrompts(Prompts* prompts) { prompts_ = prompts ? prompts : &noPrompts_; }
    using Observer = std::function<void()>;
    // Told when the title, the unsaved mark or the recent list change.
    void observe(Observer observer) { observers_.push_back(std::move(observer)); }

private:
    bool saveChangesFirst();
    bool load(const std::string& path, bool recovering);
    // Puts a project (or a new one when data is null) into the application.
    void apply(const ProjectData* data);
    void saved(const std::string& path);
    void remember(const std::string& path);
    Fingerprint currentInputs();
    void setModified(bool modified);
    void notify();
    void releaseRecovery(bool remove);

    model::Application& app_;
    Prompts noPrompts_;
    Prompts* prompts_ = &noPrompts_;
    bool started_ = false;
    std::string path_;
    bool modified_ = false;
    // The inputs as last saved or opened; changes are measured against them
    // (none when nothing of them is saved).
    std::optional<Fingerprint> baseline_;
    // Keys of the opened file this program does not know, written back.
    nlohmann::ordered_json unknown_ = nlohmann::ordered_json::object();
    std::vector<std::string> recent_;
    std::vector<Observer> observers_;

    std::string recoveryFolder_;
    std::string recoveryFile_;
    int recoveryLock_ = -1;
    std::optional<Fingerprint> recoveryWritten_;
};

} // namespace infil::project
