#pragma once
// The menu "Soubor" of the main window and what the project commands ask the
// user: the save-changes question, the file dialogs, the recovery question.
// The session (project/Session) decides; this view asks, shows the title with
// its unsaved mark, keeps the recent list in the user's settings and ticks
// the recovery copy every 30 seconds.

#include "project/Session.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QMainWindow;
class QMenu;
class QTimer;

namespace infil::model {
class Application;
}

namespace infil::ui {

class Binder;

class ProjectMenu : public QObject, public project::Prompts {
    Q_OBJECT
public:
    // Adds the menu to the window's menu bar; `binder` runs the commands as
    // user actions.
    ProjectMenu(model::Application& app, QMainWindow& window, Binder& binder);
    ~ProjectMenu() override;

    // The milliseconds between two recovery copies.
    static constexpr int kRecoveryInterval = 30 * 1000;
    // The settings key of the recent list.
    static const char* const kRecentKey;

    QMenu* menu() const { return menu_; }
    QMenu* recentMenu() const { return recent_; }
    QAction* action(const char* name) const;

    // Runs a command as the user's action; false when it was not done.
    bool run(bool (project::Session::*command)());
    // Opens a file (the command line, a dropped file, a recent entry).
    bool openFile(const QString& path);
    // Closing the window: false when the user keeps it open.
    bool confirmClose();

    // Prompts
    Answer askSaveChanges(const std::string& name) override;
    std::optional<std::string> askOpenPath(const std::string& folder) override;
    std::optional<std::string> askSavePath(const std::string& suggestion) override;
    bool askYesNo(const std::string& question) override;

private:
    void mirror();
    void rebuildRecent();

    model::Application& app_;
    QPointer<QMainWindow> window_;
    Binder& binder_;
    QMenu* menu_ = nullptr;
    QMenu* recent_ = nullptr;
    QTimer* recovery_ = nullptr;
    std::vector<std::string> shownRecent_;
};

// The filter of the file dialogs.
QString projectFileFilter();

} // namespace infil::ui
