#include "ProjectMenu.h"

#include "Binding.h"

#include "model/Application.h"
#include "model/CalcForm.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStringList>
#include <QTimer>

namespace infil::ui {
namespace {

QString u8(const char* text) { return QString::fromUtf8(text); }
QString qs(const std::string& text) { return QString::fromStdString(text); }

QSettings settings() { return QSettings(QStringLiteral("infil"), QStringLiteral("infil")); }

} // namespace

const char* const ProjectMenu::kRecentKey = "project/recent";

QString projectFileFilter() { return u8("Projekty Infil (*.infil);;Všechny soubory (*)"); }

ProjectMenu::ProjectMenu(model::Application& app, QMainWindow& window, Binder& binder)
    : QObject(&window), app_(app), window_(&window), binder_(binder)
{
    project::Session& session = app_.project();
    menu_ = window.menuBar()->addMenu(u8("&Soubor"));
    menu_->setObjectName(QStringLiteral("menuSoubor"));
    auto add = [this](const char* name, const char* text, const QKeySequence& keys, auto slot) {
        QAction* action = menu_->addAction(u8(text));
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add("actionNew", "&Nový", QKeySequence(Qt::CTRL | Qt::Key_N), [this] { run(&project::Session::newProject); });
    add("actionOpen", "&Otevřít…", QKeySequence(Qt::CTRL | Qt::Key_O), [this] { run(&project::Session::open); });
    add("actionSave", "&Uložit", QKeySequence(Qt::CTRL | Qt::Key_S), [this] { run(&project::Session::save); });
    add("actionSaveAs", "Uložit &jako…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
        [this] { run(&project::Session::saveAs); });
    recent_ = menu_->addMenu(u8("Naposle&dy otevřené"));
    recent_->setObjectName(QStringLiteral("menuRecent"));
    menu_->addSeparator();
    add("actionQuit", "&Konec", QKeySequence(Qt::CTRL | Qt::Key_Q), [this] {
        if (window_)
            window_->close(); // the window asks about unsaved changes
    });

    session.setPrompts(this);
    QStringList stored = settings().value(QString::fromLatin1(kRecentKey)).toStringList();
    std::vector<std::string> files;
    for (const QString& file : stored)
        files.push_back(file.toStdString());
    session.setRecent(std::move(files));
    session.observe([self = QPointer<ProjectMenu>(this)] {
        if (self)
            self->mirror();
    });

    // The copy is written while there are unsaved changes; the session decides.
    recovery_ = new QTimer(this);
    recovery_->setObjectName(QStringLiteral("recoveryTimer"));
    connect(recovery_, &QTimer::timeout, this, [this] {
        try {
            app_.project().recoveryTick();
        } catch (const std::exception&) {
            // A copy that cannot be made now is tried again at the next tick.
        }
    });
    recovery_->start(kRecoveryInterval);
    mirror();
}

ProjectMenu::~ProjectMenu() { app_.project().setPrompts(nullptr); }

QAction* ProjectMenu::action(const char* name) const
{
    return menu_->findChild<QAction*>(QString::fromLatin1(name));
}

bool ProjectMenu::run(bool (project::Session::*command)())
{
    bool done = false;
    binder_.act([&] { done = (app_.project().*command)(); });
    return done;
}

bool ProjectMenu::openFile(const QString& path)
{
    bool done = false;
    const std::string file = path.toStdString();
    binder_.act([&] { done = app_.project().openFile(file); });
    return done;
}

bool ProjectMenu::confirmClose() { return run(&project::Session::confirmClose); }

void ProjectMenu::mirror()
{
    const project::Session& session = app_.project();
    if (window_)
        window_->setWindowTitle(qs(session.title()));
    if (session.recent() != shownRecent_) {
        shownRecent_ = session.recent();
        QStringList stored;
        for (const std::string& file : shownRecent_)
            stored << qs(file);
        settings().setValue(QString::fromLatin1(kRecentKey), stored);
        rebuildRecent();
    }
}

void ProjectMenu::rebuildRecent()
{
    recent_->clear();
    int number = 0;
    for (const std::string& file : shownRecent_) {
        const QString path = qs(file);
        ++number;
        QAction* entry = recent_->addAction(QStringLiteral("&%1 %2").arg(number).arg(path));
        entry->setToolTip(path);
        connect(entry, &QAction::triggered, this, [this, path] { openFile(path); });
    }
    if (number == 0)
        recent_->addAction(u8("(žádné)"))->setEnabled(false);
}

// ---------------------------------------------------------------------------
// Prompts

project::Prompts::Answer ProjectMenu::askSaveChanges(const std::string& name)
{
    QMessageBox box(QMessageBox::Question, u8("Infil"), u8("Uložit změny?"), QMessageBox::NoButton, window_);
    box.setObjectName(QStringLiteral("saveChangesBox"));
    box.setInformativeText(u8("Projekt „%1“ má neuložené změny.").arg(qs(name)));
    QPushButton* save = box.addButton(u8("Uložit"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(u8("Neukládat"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(u8("Storno"), QMessageBox::RejectRole);
    save->setObjectName(QStringLiteral("save"));
    discard->setObjectName(QStringLiteral("discard"));
    cancel->setObjectName(QStringLiteral("cancel"));
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return Answer::Save;
    if (box.clickedButton() == discard)
        return Answer::Discard;
    return Answer::Cancel;
}

std::optional<std::string> ProjectMenu::askOpenPath(const std::string& folder)
{
    const QString file =
        QFileDialog::getOpenFileName(window_, u8("Otevřít projekt"), qs(folder), projectFileFilter());
    if (file.isEmpty())
        return std::nullopt;
    return file.toStdString();
}

std::optional<std::string> ProjectMenu::askSavePath(const std::string& suggestion)
{
    QFileDialog dialog(window_, u8("Uložit projekt jako"), QString(), projectFileFilter());
    dialog.setObjectName(QStringLiteral("saveProjectDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("infil"));
    const QFileInfo suggested(qs(suggestion));
    if (suggested.isAbsolute())
        dialog.setDirectory(suggested.absolutePath());
    dialog.selectFile(suggested.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

bool ProjectMenu::askYesNo(const std::string& question)
{
    QMessageBox box(QMessageBox::Question, u8("Infil"), qs(question), QMessageBox::NoButton, window_);
    box.setObjectName(QStringLiteral("questionBox"));
    QPushButton* yes = box.addButton(u8("Ano"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(u8("Ne"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace infil::ui
