// The menu "Soubor" in the real window: its commands and keys, the title with
// the unsaved mark, the question on closing, a dropped file, the recent list
// kept in the settings.
#include "WindowTestSupport.h"

#include "project/Session.h"
#include "ui/ProjectMenu.h"

#include <QAction>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QUrl>

namespace {

using infil::test::waitFor;

class ProjectMenuTest : public infil::test::MainWindowTest {
protected:
    ProjectMenuTest()
    {
        // The recent list goes to settings of this test alone.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        QSettings(QStringLiteral("infil"), QStringLiteral("infil")).clear();
        app.project().start();
    }

    void type(const char* box, const std::string& text)
    {
        app.userAction([&] { app.calc().box(box).setText(text); });
    }

    // Clicks the button `name` of the next "Uložit změny?" box once it shows.
    void answerSaveChanges(const char* name)
    {
        auto* timer = new QTimer(window.get());
        QObject::connect(timer, &QTimer::timeout, timer, [timer, name] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box->objectName() != QLatin1String("saveChangesBox"))
                return;
            asked = box->text();
            box->findChild<QPushButton*>(QLatin1String(name))->click();
            timer->deleteLater();
        });
        timer->start(10);
    }

    QTemporaryDir settings;
    static inline QString asked;
};

TEST_F(ProjectMenuTest, TheMenuHoldsTheCommandsWithTheirKeys)
{
    infil::ui::ProjectMenu* menu = window->projectMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->menu()->title(), QString::fromUtf8("&Soubor"));
    const struct {
        const char* name;
        const char* text;
        const char* keys;
    } commands[] = {
        {"actionNew", "&Nový", "Ctrl+N"},
        {"actionOpen", "&Otevřít…", "Ctrl+O"},
        {"actionSave", "&Uložit", "Ctrl+S"},
        {"actionSaveAs", "Uložit &jako…", "Ctrl+Shift+S"},
        {"actionQuit", "&Konec", "Ctrl+Q"},
    };
    for (const auto& c : commands) {
        QAction* action = menu->action(c.name);
        ASSERT_NE(action, nullptr) << c.name;
        EXPECT_EQ(action->text(), QString::fromUtf8(c.text));
        EXPECT_EQ(action->shortcut().toString(), QString::fromLatin1(c.keys));
    }
    EXPECT_EQ(menu->recentMenu()->title(), QString::fromUtf8("Naposle&dy otevřené"));
}

TEST_F(ProjectMenuTest, ClosingWithUnsavedChangesAsksAndStornoKeepsEverything)
{
    showMainWindow();
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("INFIL - Výpočet infilovacích zařízení"));
    type("txtProjName", "Hala");
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Bez názvu* - INFIL - Výpočet infilovacích zařízení"));

    bool closed = false;
    QObject::connect(window.get(), &infil::ui::CalcWindow::closed, [&] { closed = true; });
    answerSaveChanges("cancel");
    EXPECT_FALSE(window->close());
    EXPECT_EQ(asked, QString::fromUtf8("Uložit změny?"));
    EXPECT_FALSE(closed);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(app.record().ProjName, "Hala");

    answerSaveChanges("discard");
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(closed);
}

TEST_F(ProjectMenuTest, ADroppedProjectOpensAndTheRecentListRemembersIt)
{
    showMainWindow();
    const QString file = folder.filePath(QStringLiteral("hala.infil"));
    type("txtProjName", "Hala");
    bool saved = false;
    app.userAction([&] { saved = app.project().saveTo(file.toStdString()); });
    ASSERT_TRUE(saved);
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("hala.infil - INFIL - Výpočet infilovacích zařízení"));
    EXPECT_EQ(QSettings(QStringLiteral("infil"), QStringLiteral("infil"))
                  .value(QString::fromLatin1(infil::ui::ProjectMenu::kRecentKey))
                  .toStringList(),
              QStringList{file});
    ASSERT_EQ(window->projectMenu()->recentMenu()->actions().size(), 1);
    EXPECT_TRUE(window->projectMenu()->run(&infil::project::Session::newProject));
    EXPECT_EQ(app.record().ProjName, "");

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    EXPECT_TRUE(waitFor([&] { return app.record().ProjName == "Hala"; }));
    EXPECT_EQ(app.calc().box("txtProjName").text(), "Hala");
    EXPECT_EQ(window->findChild<QLineEdit*>(QStringLiteral("txtProjName"))->text(), QStringLiteral("Hala"));

    // Other files are not taken.
    QMimeData other;
    other.setUrls({QUrl::fromLocalFile(folder.filePath(QStringLiteral("notes.txt")))});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());

    // A window opened later lists the file again; its entry opens it.
    EXPECT_TRUE(window->projectMenu()->run(&infil::project::Session::newProject));
    infil::test::RecordingPort otherPort;
    infil::model::Application second(folder.path().toStdString(), otherPort);
    infil::model::installDialogs(second);
    second.userAction([&] { second.calc().load(); });
    infil::ui::CalcWindow secondWindow(second);
    const auto entries = secondWindow.projectMenu()->recentMenu()->actions();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_TRUE(entries.front()->text().endsWith(file));
    entries.front()->trigger();
    EXPECT_EQ(second.record().ProjName, "Hala");
}

} // namespace
