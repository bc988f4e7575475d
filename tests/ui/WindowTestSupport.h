#pragma once
// What the window tests share: a message port that keeps what it was told, a
// main window over a fresh program folder, and waiting for the event loop.

#include "model/Application.h"

#include "ui/CalcWindow.h"
#include "ui/GridView.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace infil::test {

class RecordingPort : public MessagePort {
public:
    void showMessage(const Message& message) override { messages.push_back(message); }
    std::vector<Message> messages;
};

// Lets the event loop run until the condition holds, a second at most; whether
// it came to hold.
inline bool waitFor(const std::function<bool()>& condition)
{
    for (int i = 0; i < 100 && !condition(); ++i)
        QTest::qWait(10);
    return condition();
}

// The main window of a program in a fresh temporary folder, with the dialogs
// installed and the design loaded; built but not yet shown.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() : app(folder.path().toStdString(), port)
    {
        model::installDialogs(app);
        app.userAction([this] { app.calc().load(); });
        window = std::make_unique<ui::CalcWindow>(app);
    }

    // Shows the main window at the place the dialogs' positions are checked from.
    void showMainWindow()
    {
        window->move(40, 30);
        window->show();
    }

    // A left click in the middle of a grid cell.
    static void clickCell(ui::GridView* grid, int row, int col)
    {
        const QRect cell = grid->cellRect(row, col);
        ASSERT_TRUE(cell.isValid());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->viewport()->mapFrom(grid, cell.center()));
    }

    QTemporaryDir folder;
    RecordingPort port;
    model::Application app;
    std::unique_ptr<ui::CalcWindow> window;
};

} // namespace infil::test
