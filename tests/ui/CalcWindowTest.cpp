// The main window driven as a user drives it: typing into its boxes, clicking
// its options and buttons. Every check compares what the widgets show with what
// the model holds, so it proves the binding and the layout, not the formulas.

#include "WindowTestSupport.h"

#include "model/Grid.h"
#include "ui/Binding.h"
#include "ui/CalcWindow.h"
#include "ui/QtServices.h"
#include "ResultViews.h"
#include "ui/SelectionGuide.h"
#include "ui/VeerHost.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace infil;
using model::CalcForm;

namespace {

using test::RecordingPort;

QString qs(const std::string& text) { return QString::fromStdString(text); }

// The caption a button shows: its text less the mark of its Alt key.
QString shown(QString text) { return text.replace(QRegularExpression("&(.)"), "\\1"); }

// A desktop with a fixed clock, a recognisable time format and a browser that
// only remembers what it was asked to open.
class TestPlatform : public model::Platform {
public:
    model::DateTime now() const override { return {2024, 5, 6, 7, 8, 9}; }
    std::string timeOfDay(const model::DateTime& t) const override
    {
        return hoursAndSeconds ? std::to_string(t.hour) + "h" + std::to_string(t.second)
                               : model::Platform::timeOfDay(t);
    }
    void openUrl(const std::string& address) override { opened.push_back(address); }
    std::vector<std::string> opened;
    bool hoursAndSeconds = false;
};

class CalcWindowTest : public ::testing::Test {
protected:
    CalcWindowTest() : app(folder.path().toStdString(), port)
    {
        app.setPlatform(&platform);
        app.userAction([this] { app.calc().load(); });
        window = std::make_unique<ui::CalcWindow>(app);
        window->show();
        calc().selectTab(1);
    }

    CalcForm& calc() { return app.calc(); }
    template <typename W = QWidget>
    W* widget(const model::Control* control)
    {
        auto* w = qobject_cast<W*>(window->widgetFor(*control));
        EXPECT_NE(w, nullptr) << control->key();
        return w;
    }

    // What the drained-area and rain dialogs would have written.
    void sharedInputs()
    {
        app.record().SelIntDeste = 150;
        app.record().SelDTrvDeste = 15;
        app.record().OdvodNepPlocha = 1200;
        app.userAction([this] {
            calc().txtSelIntDeste->setText("150");
            calc().txtSelDTrvDeste->setText("15");
            calc().txtOdvodNepPlocha->setText("1 200.0");
        });
        type(calc().txtSoucFiltrace, "2e-5");
        leave(calc().txtSoucFiltrace);
    }

    void type(model::TextBox* box, const char* text)
    {
        auto* edit = widget<QLineEdit>(box);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    void leave(model::TextBox* box)
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(widget(box), &out);
    }
    void click(const model::Control* control)
    {
        QWidget* w = widget(control);
        // Check boxes and options react on their mark and caption, at the left.
        const bool marked = qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w);
        QTest::mouseClick(w, Qt::LeftButton, {}, marked ? QPoint(6, w->height() / 2) : w->rect().center());
    }
    // Chooses a list entry with the keyboard, as the user can.
    void choose(model::ComboBox* list, int position)
    {
        auto* combo = widget<QComboBox>(list);
        QTest::keyClick(combo, Qt::Key_Home);
        for (int i = 0; i < position; ++i)
            QTest::keyClick(combo, Qt::Key_Down);
    }
    void chooseTechnology(int k)
    {
        if (k == 6) {
            click(calc().optSelType[1]);
        } else {
            click(calc().optSelType[0]);
            choose(calc().cboSelType, k);
        }
    }

    // Every control of the window has its widget, and every widget shows what
    // its model holds.
    void expectWindowMirrorsModel()
    {
        const QColor grey = QApplication::palette().color(QPalette::Button);
        for (const auto& owned : calc().controls()) {
            const model::Control& c = *owned;
            QWidget* w = window->widgetFor(c);
            ASSERT_NE(w, nullptr) << c.key() << " has no widget";
            SCOPED_TRACE(c.key());
            EXPECT_EQ(!w->isHidden(), c.visible());
            EXPECT_EQ(w->isEnabled(), c.effectivelyEnabled());
            if (auto* box = dynamic_cast<const model::TextBox*>(&c)) {
                if (auto* edit = qobject_cast<QLineEdit*>(w)) {
                    EXPECT_EQ(edit->text(), qs(box->text()));
                    EXPECT_EQ(edit->isReadOnly(), box->readOnly());
                } else {
                    auto* notes = qobject_cast<QPlainTextEdit*>(w);
                    ASSERT_NE(notes, nullptr);
                    EXPECT_EQ(notes->toPlainText(), qs(box->text()).replace("\r\n", "\n"));
                }
                EXPECT_EQ(w->palette().color(QPalette::Base) == grey,
                          box->background() == model::TextBox::Background::ButtonFace);
            } else if (auto* option = dynamic_cast<const model::OptionButton*>(&c)) {
                EXPECT_EQ(qobject_cast<QRadioButton*>(w)->isChecked(), option->value());
                EXPECT_EQ(shown(qobject_cast<QRadioButton*>(w)->text()), qs(option->caption()));
            } else if (auto* check = dynamic_cast<const model::CheckBox*>(&c)) {
                EXPECT_EQ(qobject_cast<QCheckBox*>(w)->isChecked(), check->checked());
                EXPECT_EQ(shown(qobject_cast<QCheckBox*>(w)->text()), qs(check->caption()));
            } else if (auto* list = dynamic_cast<const model::ComboBox*>(&c)) {
                auto* combo = qobject_cast<QComboBox*>(w);
                ASSERT_EQ(combo->count(), static_cast<int>(list->items().size()));
                for (int i = 0; i < combo->count(); ++i)
                    EXPECT_EQ(combo->itemText(i), qs(list->items()[static_cast<std::size_t>(i)]));
                EXPECT_EQ(combo->currentIndex(), list->listIndex());
            } else if (auto* button = dynamic_cast<const model::Button*>(&c)) {
                EXPECT_EQ(shown(qobject_cast<QPushButton*>(w)->text()), qs(button->caption()));
            } else if (auto* label = dynamic_cast<const model::Label*>(&c)) {
                EXPECT_TRUE(qobject_cast<QLabel*>(w)->text().contains(qs(label->caption())));
            }
        }
        EXPECT_EQ(window->tabs()->currentIndex(), calc().tab());
    }

    // Shown labels are not clipped and shown fields do not overlap (a panel
    // open over its pane may cover what lies beneath it).
    void expectCleanLayout(QWidget* area)
    {
        QApplication::processEvents();
        std::vector<QWidget*> fields;
        for (QWidget* w : area->findChildren<QWidget*>()) {
            if (!w->isVisible())
                continue;
            if (auto* label = qobject_cast<QLabel*>(w)) {
                EXPECT_GE(label->width(), label->minimumSizeHint().width()) << label->text().toStdString();
            }
            if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                qobject_cast<QLabel*>(w))
                fields.push_back(w);
        }
        auto covered = [&](QWidget* w) {
            for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
                if (p->objectName().startsWith("picPretokSkrOdtok"))
                    return false; // on the panel itself
            for (int k : {3, 4}) {
                QWidget* panel = window->widgetFor(*calc().picPretokSkrOdtok[k]);
                if (panel->isVisible() && panel->parentWidget()->isAncestorOf(w) &&
                    QRect(panel->mapToGlobal(QPoint()), panel->size())
                        .intersects(QRect(w->mapToGlobal(QPoint()), w->size())))
                    return true;
            }
            return false;
        };
        for (std::size_t i = 0; i < fields.size(); ++i) {
            for (std::size_t j = i + 1; j < fields.size(); ++j) {
                QWidget* a = fields[i];
                QWidget* b = fields[j];
                if (a->isAncestorOf(b) || b->isAncestorOf(a) || covered(a) || covered(b))
                    continue;
                const QRect ra(a->mapToGlobal(QPoint()), a->size());
                const QRect rb(b->mapToGlobal(QPoint()), b->size());
                EXPECT_FALSE(ra.intersects(rb)) << a->objectName().toStdString() << " / "
                                                << b->objectName().toStdString();
            }
        }
    }

    QTemporaryDir folder;
    RecordingPort port;
    TestPlatform platform;
    model::Application app;
    std::unique_ptr<ui::CalcWindow> window;
};

// ---------------------------------------------------------------------------
// One design per technology, entered through the widgets.

TEST_F(CalcWindowTest, SurfaceInfiltration)
{
    sharedInputs();
    EXPECT_EQ(widget<QLineEdit>(calc().txtSoucFiltrace)->text(), "2.0E-05"); // reformatted on leaving
    chooseTechnology(1);
    EXPECT_EQ(calc().shownPane(), 1);
    EXPECT_TRUE(widget(calc().picResults[1])->isVisible());
    EXPECT_FALSE(widget(&calc().control<model::Button>("cmdCalcul", 1))->isVisible()); // pane 1 computes at once
    type(&calc().box("txtHPV"), "3.5");
    EXPECT_FLOAT_EQ(app.record().HPV, 3.5f);
    expectWindowMirrorsModel();
}

TEST_F(CalcWindowTest, SwaleInfiltration)
{
    sharedInputs();
    chooseTechnology(2);
    ASSERT_EQ(calc().shownPane(), 2);
    click(calc().optSelTypPudy2[1]);
    EXPECT_TRUE(calc().optSelTypPudy2[1]->value());
    // Typed key by key with a decimal comma, the number stays as typed.
    type(&calc().box("txtSoucBezp", 2), "1,5");
    EXPECT_EQ(widget<QLineEdit>(&calc().box("txtSoucBezp", 2))->text(), "1,5");
    EXPECT_FLOAT_EQ(app.record().SoucBezp, 1.5f);
    // Pasted whole, the same; every pane's box shows it.
    auto* safety = widget<QLineEdit>(&calc().box("txtSoucBezp", 2));
    safety->selectAll();
    safety->insert("1,4");
    EXPECT_EQ(safety->text(), "1,4");
    EXPECT_FLOAT_EQ(app.record().SoucBezp, 1.4f);
    EXPECT_EQ(widget<QLineEdit>(&calc().box("txtSoucBezp", 5))->text(), "1,4");
    type(&calc().box("txtSoucBezp", 2), "1.3");
    EXPECT_FLOAT_EQ(app.record().SoucBezp, 1.3f);
    expectWindowMirrorsModel();
}

TEST_F(CalcWindowTest, CombinedSwaleAndTrenchWithOverflowPanel)
{
    sharedInputs();
    chooseTechnology(3);
    ASSERT_EQ(calc().shownPane(), 3);
    click(calc().optSelTypPudy3[0]);
    type(&calc().box("txtSoucFiltrPruleh", 3), "1e-4");
    type(&calc().box("txtSirkaRyhy", 3), "0.5");
    type(&calc().box("txtVyskaRyhy", 3), "1");
    click(calc().chkSelPretok[3]);
    QWidget* panel = widget(calc().picPretokSkrOdtok[3]);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(widget(calc().cmdEdit[3])->isEnabled());
    expectCleanLayout(widget(calc().picResults[3]));
    type(&calc().box("txtPrumTroubVnit", 3), "100");
    type(&calc().box("txtPrumTroubVnej", 3), "120");
    type(&calc().box("txtSpecDrenOdtok", 3), "10");
    click(&calc().control<model::Button>("cmdOK", 3));
    EXPECT_FALSE(panel->isVisible());
    EXPECT_NEAR(app.record().EffectivePorosity, 0.3578, 1e-4);
    click(&calc().control<model::Button>("cmdCalcul", 3));
    expectWindowMirrorsModel();
}

TEST_F(CalcWindowTest, TrenchWithDrainPanel)
{
    sharedInputs();
    chooseTechnology(4);
    ASSERT_EQ(calc().shownPane(), 4);
    type(&calc().box("txtPorVyplne", 4), "0.3");
    type(&calc().box("txtSirkaRyhy", 4), "0.6");
    type(&calc().box("txtVyskaRyhy", 4), "1.2");
    click(calc().chkSelPretok[4]);
    auto* arrows = widget<ui::UpDownButtons>(&calc().control<model::UpDown>("UpDown", 4));
    QTest::mouseClick(arrows->upButton(), Qt::LeftButton);
    QTest::mouseClick(arrows->upButton(), Qt::LeftButton);
    EXPECT_EQ(widget<QLineEdit>(&calc().box("txtPocetPotrubi", 4))->text(), "3");
    EXPECT_FLOAT_EQ(app.record().PocetPotrubi, 3.0f);
    // OK with no diameters switches the drain off again.
    click(&calc().control<model::Button>("cmdOK", 4));
    EXPECT_FALSE(widget<QCheckBox>(calc().chkSelPretok[4])->isChecked());
    EXPECT_FALSE(widget(calc().cmdEdit[4])->isEnabled());
    click(&calc().control<model::Button>("cmdCalcul", 4));
    expectWindowMirrorsModel();
}

TEST_F(CalcWindowTest, ShaftInfiltration)
{
    sharedInputs();
    chooseTechnology(5);
    ASSERT_EQ(calc().shownPane(), 5);
    click(calc().optSelTypPudy5[0]);
    EXPECT_FALSE(widget(calc().txtVyskaPiskVrstvy)->isEnabled()); // "typ A" has no sand layer
    click(calc().optSelTypSachty[1]);
    ASSERT_GT(calc().cboTypSachty->items().size(), 1u);
    choose(calc().cboTypSachty, 1);
    EXPECT_FALSE(widget<QLineEdit>(calc().txtPrumerSachtyVnit)->text().isEmpty());
    EXPECT_TRUE(widget(calc().txtPrumerSachtyVnej)->isEnabled());
    auto* arrows = widget<ui::UpDownButtons>(&calc().control<model::UpDown>("updSacht"));
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(arrows->upButton(), Qt::LeftButton);
    QTest::mouseClick(arrows->downButton(), Qt::LeftButton);
    EXPECT_EQ(app.record().SachtyCount, 3);
    type(&calc().box("txtNezamrzHlPritok"), "1.2");
    type(&calc().box("txtVyskaFiltrVrstvy"), "0.5");
    click(&calc().control<model::Button>("cmdCalcul", 5));
    expectWindowMirrorsModel();
}

TEST_F(CalcWindowTest, BasinInCentralisedMode)
{
    sharedInputs();
    chooseTechnology(6);
    ASSERT_EQ(calc().shownPane(), 6);
    EXPECT_EQ(widget<QComboBox>(calc().cboSelType)->count(), 1);
    type(&calc().box("txtSpecInfilIntenz"), "2");
    type(&calc().box("txtDelkaDnaNadrz"), "20");
    type(&calc().box("txtSirkaDnaNadrz"), "10");
    type(&calc().box("txtHloubkaNadrz"), "1.5");
    type(&calc().box("txtSklonSvahuNadrz"), "2");
    click(calc().chkPredUsaz);
    EXPECT_TRUE(calc().chkPredUsaz->checked());
    click(&calc().control<model::Button>("cmdCalcul", 6));
    expectWindowMirrorsModel();
}

// The verdict stands below the pane and follows every action: missing results
// until Compute, then what the design exceeds.
TEST_F(CalcWindowTest, TheVerdictFollowsTheDesign)
{
    auto* group = window->findChild<QWidget*>("verdict");
    auto* text = window->findChild<QLabel*>("verdictText");
    ASSERT_TRUE(group && text);
    EXPECT_TRUE(group->isHidden()); // no technology yet
    app.record().RainIntensities[3] = 150; // the series the rain dialog would have filled
    sharedInputs();
    chooseTechnology(6);
    EXPECT_FALSE(group->isHidden());
    EXPECT_TRUE(text->text().contains(QString::fromUtf8("Výpočet nebyl proveden pro aktuální zadání")));
    type(&calc().box("txtSpecInfilIntenz"), "2");
    type(&calc().box("txtDelkaDnaNadrz"), "20");
    type(&calc().box("txtSirkaDnaNadrz"), "10");
    type(&calc().box("txtHloubkaNadrz"), "0,4");
    type(&calc().box("txtSklonSvahuNadrz"), "2");
    click(&calc().control<model::Button>("cmdCalcul", 6));
    EXPECT_TRUE(text->text().contains(QString::fromUtf8("Hloubka nádrže 0.40 m je menší než 0.5 m"))) << qPrintable(text->text());
    EXPECT_FALSE(text->text().contains(QString::fromUtf8("nebyl proveden")));
    // A changed input empties the results again.
    type(&calc().box("txtHloubkaNadrz"), "1");
    EXPECT_EQ(widget<QLineEdit>(&calc().box("txtObjAkum", 6))->text(), "");
    EXPECT_TRUE(text->text().contains(QString::fromUtf8("nebyl proveden")));
}

// ---------------------------------------------------------------------------
// The window's own state

TEST_F(CalcWindowTest, ResultsTabShowsTheReportJustWritten)
{
    sharedInputs();
    chooseTechnology(2);
    // Czech letters arrive as one insertion, as an input method delivers them.
    auto paste = [&](const QString& text) {
        auto* edit = widget<QLineEdit>(&calc().box("txtProjName"));
        edit->selectAll();
        edit->insert(text);
    };
    paste(QStringLiteral("Průleh u školy"));
    window->tabs()->setCurrentIndex(3);
    ASSERT_EQ(calc().tab(), 3);
    const QString shown = window->resultsView()->browser()->toPlainText();
    EXPECT_TRUE(shown.contains(QStringLiteral("Průleh u školy"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Infilování v průlezích")));
    EXPECT_TRUE(window->resultsView()->browser()->isVisible());
    EXPECT_TRUE(widget(calc().cmdSaveResults)->isVisible());
    EXPECT_TRUE(widget(calc().cmdPrint)->isVisible());

    // Back on "Výpočet" the report is gone; the next visit writes the changed design.
    window->tabs()->setCurrentIndex(1);
    EXPECT_FALSE(QFile::exists(qs(app.record().ResultsFilePath)));
    paste(QStringLiteral("Průleh u knihovny"));
    window->tabs()->setCurrentIndex(3);
    EXPECT_TRUE(window->resultsView()->browser()->toPlainText().contains(QStringLiteral("u knihovny")));
}

TEST_F(CalcWindowTest, ReminderOnEnteringTheListMovesTheFocusOnce)
{
    app.record().OdvodNepPlocha = 500; // but no filtration coefficient
    click(calc().optSelType[0]);
    port.messages.clear();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto* list = widget<QComboBox>(calc().cboSelType);
    list->setFocus(Qt::MouseFocusReason);
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].text, "Zadejte součinitel filtrace podloží");
    QLineEdit* coefficient = widget<QLineEdit>(calc().txtSoucFiltrace);
    for (int i = 0; i < 100 && !coefficient->hasFocus(); ++i)
        QTest::qWait(10);
    EXPECT_TRUE(coefficient->hasFocus());
    // The message box closing gives the focus back: not the user's, no reminder.
    QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(list, &back);
    EXPECT_EQ(port.messages.size(), 1u);
}

TEST_F(CalcWindowTest, TabsFollowTheModel)
{
    // No technology yet: the model refuses the description tab and says why.
    window->tabs()->setCurrentIndex(2);
    EXPECT_EQ(calc().tab(), 1);
    EXPECT_EQ(window->tabs()->currentIndex(), 1);
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].text, "Není vybrána technologie");
    window->tabs()->setCurrentIndex(0);
    EXPECT_EQ(calc().tab(), 0);

    calc().setEnabled(false); // as while a dialog is open
    EXPECT_FALSE(window->isEnabled());
    calc().setEnabled(true);
    EXPECT_TRUE(window->isEnabled());

    int closed = 0; // closing is never refused, and ends the program
    QObject::connect(window.get(), &ui::CalcWindow::closed, [&] { ++closed; });
    EXPECT_TRUE(window->close());
    EXPECT_EQ(closed, 1);
}

TEST_F(CalcWindowTest, ClockLinksAndTheFirstTab)
{
    platform.hoursAndSeconds = true;
    auto* clock = widget<QLabel>(calc().lblTime);
    for (int i = 0; i < 150 && clock->text() != "7h9"; ++i)
        QTest::qWait(10);
    EXPECT_EQ(clock->text(), "7h9");
    Q_EMIT widget<QLabel>(&calc().control<model::Label>("lblOdkaz", 1))->linkActivated("#");
    EXPECT_EQ(platform.opened, std::vector<std::string>{CalcForm::linkAddress(1)});

    widget<QLineEdit>(&calc().box("txtProjName"))->insert(QString::fromUtf8("Dvůr")); // as pasted
    EXPECT_EQ(app.record().ProjName, "Dvůr");
}

TEST_F(CalcWindowTest, EveryPaneAndPanelIsLaidOutCleanly)
{
    sharedInputs();
    window->resize(1340, 700); // a 1366 x 768 screen
    for (int k = 1; k <= 6; ++k) {
        SCOPED_TRACE("pane " + std::to_string(k));
        chooseTechnology(k);
        ASSERT_EQ(calc().shownPane(), k);
        expectCleanLayout(window->tabs()->currentWidget());
        if (k == 3 || k == 4) {
            click(calc().chkSelPretok[k]);
            QWidget* panel = widget(calc().picPretokSkrOdtok[k]);
            expectCleanLayout(panel);
            // The panel lies within its pane, below the check box that opened it.
            const QRect pane = widget(calc().picResults[k])->rect();
            EXPECT_TRUE(pane.contains(panel->geometry())) << k;
            EXPECT_GE(panel->y(), widget(calc().chkSelPretok[k])->geometry().bottom());
        }
    }
    window->tabs()->setCurrentIndex(0);
    expectCleanLayout(window->tabs()->currentWidget());
}

// On a 1024 x 768 screen (less the window's frame and title) every pane shows
// whole in its width, and the window is no larger than the screen.
TEST_F(CalcWindowTest, TheWindowFitsASmallScreen)
{
    sharedInputs();
    const QSize screen(1008, 700);
    EXPECT_LE(window->minimumSizeHint().width(), screen.width());
    EXPECT_LE(window->minimumSizeHint().height(), screen.height());
    window->resize(screen);
    auto* scroll = window->findChild<QScrollArea*>("paneScroll");
    ASSERT_NE(scroll, nullptr);
    for (int k = 1; k <= 6; ++k) {
        SCOPED_TRACE("pane " + std::to_string(k));
        chooseTechnology(k);
        QApplication::processEvents();
        EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
        expectCleanLayout(window->tabs()->currentWidget());
    }
    // Units are whole: no line height cuts a raised power.
    for (auto* label : window->findChildren<QLabel*>()) {
        EXPECT_FALSE(label->text().contains("<sup>")) << label->text().toStdString();
        if (label->isVisible()) {
            EXPECT_GE(label->height(), label->minimumSizeHint().height()) << label->text().toStdString();
        }
    }
}

// Every box says what it holds, in which unit and what is usual; every choice
// and button what it does. The dialogs' controls too.
TEST_F(CalcWindowTest, EveryInputAndChoiceHasATooltip)
{
    model::installDialogs(app);
    int boxes = 0;
    for (model::Form* form : app.forms()) {
        for (const auto& owned : form->controls()) {
            const model::Control& c = *owned;
            const bool editor = c.name() == "txtSChange" || c.name() == "txtHelp";
            const bool asks = dynamic_cast<const model::TextBox*>(&c) || dynamic_cast<const model::ComboBox*>(&c) ||
                              dynamic_cast<const model::CaptionedControl*>(&c) || dynamic_cast<const model::Grid*>(&c);
            if (!asks || editor || dynamic_cast<const model::Label*>(&c))
                continue;
            EXPECT_FALSE(c.toolTip().empty()) << form->name() << "." << c.key();
            boxes += dynamic_cast<const model::TextBox*>(&c) != nullptr;
        }
    }
    EXPECT_GT(boxes, 50);
    // The window shows them; a box's tip names its unit.
    EXPECT_EQ(widget(calc().txtSoucFiltrace)->toolTip(),
              QString::fromUtf8("Součinitel filtrace podloží kf [m/s], obvykle 1.0E-06 až 1.0E-03"));
    EXPECT_TRUE(widget(&calc().box("txtObjAkum", 6))->toolTip().contains(QString::fromUtf8("[m³]")));
    EXPECT_FALSE(window->selectionGuide()->toolTip().isEmpty());
}

// The keyboard alone: every button shown has its own Alt key, Tab passes over
// the results, the counts step with the arrow keys, F1 shows the description.
TEST_F(CalcWindowTest, TheKeyboardReachesEverything)
{
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    sharedInputs();
    auto mnemonics = [&](QWidget* page) {
        QApplication::processEvents();
        std::map<QChar, QString> letters;
        for (auto* button : page->findChildren<QAbstractButton*>()) {
            if (!button->isVisible() || qobject_cast<QToolButton*>(button))
                continue;
            const QString text = button->text();
            const qsizetype at = text.indexOf(QRegularExpression("&[^&]"));
            EXPECT_GE(at, 0) << text.toStdString() << " has no Alt key";
            if (at < 0)
                continue;
            const QChar letter = text[at + 1].toLower();
            EXPECT_EQ(letters.count(letter), 0u)
                << text.toStdString() << " shares its Alt key with " << letters[letter].toStdString();
            letters[letter] = text;
        }
    };
    for (int k = 1; k <= 6; ++k) {
        chooseTechnology(k);
        mnemonics(window->tabs()->currentWidget());
        if (k == 3 || k == 4) {
            click(calc().chkSelPretok[k]);
            mnemonics(window->tabs()->currentWidget());
        }
    }

    // Tab from the trench's inputs reaches the compute button and no result.
    chooseTechnology(4);
    click(calc().chkSelPretok[4]); // closes the drain again
    QWidget* width = widget(&calc().box("txtSirkaRyhy", 4));
    width->setFocus();
    const std::vector<QWidget*> order = {widget(&calc().box("txtVyskaRyhy", 4)), widget(calc().chkSelPretok[4]),
                                         widget(&calc().control<model::Button>("cmdCalcul", 4))};
    for (QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << QApplication::focusWidget()->objectName().toStdString();
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_FALSE(QApplication::focusWidget()->objectName().startsWith("txtInfilPlocha"));
    EXPECT_EQ(widget(&calc().box("txtDelkaRyhy", 4))->focusPolicy(), Qt::ClickFocus); // still selectable

    // The shaft count: arrow keys in its box, and typing within its limits.
    chooseTechnology(5);
    auto* count = widget<QLineEdit>(&calc().box("txtSachtyCount"));
    count->setFocus();
    QTest::keyClick(count, Qt::Key_Up);
    QTest::keyClick(count, Qt::Key_Up);
    EXPECT_EQ(count->text(), "3");
    EXPECT_EQ(app.record().SachtyCount, 3);
    type(&calc().box("txtSachtyCount"), "70");
    leave(&calc().box("txtSachtyCount"));
    EXPECT_EQ(count->text(), "50");
    EXPECT_EQ(app.record().SachtyCount, 50);

    // F1: the description of the technology chosen.
    QTest::keyClick(count, Qt::Key_F1);
    EXPECT_EQ(window->tabs()->currentIndex(), 2);
    EXPECT_TRUE(calc().descriptionPage().ends_with("Desc05.htm"));
}

// The report's saved path is confirmed below it.
TEST_F(CalcWindowTest, TheSavedReportIsConfirmedInTheStatusLine)
{
    auto* status = window->findChild<QLabel*>("saveStatus");
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(status->text().isEmpty());
    Q_EMIT window->resultsView()->saved("/home/projektant/rd.htm");
    EXPECT_EQ(status->text(), QString::fromUtf8("Protokol byl uložen do souboru /home/projektant/rd.htm"));
}

// The window builds its widgets from the model's declarations alone: every
// control the model declares has its widget, named after its key, in the window.
TEST_F(CalcWindowTest, EveryDeclaredControlHasItsWidget)
{
    for (const auto& control : calc().controls()) {
        QWidget* shown = window->widgetFor(*control);
        ASSERT_NE(shown, nullptr) << control->key();
        EXPECT_EQ(shown->objectName().toStdString(), control->key());
        EXPECT_TRUE(window->isAncestorOf(shown)) << control->key();
    }
}

TEST_F(CalcWindowTest, TheGuideKeepsThreePlacesForItsCaptions)
{
    ui::SelectionGuide* guide = window->selectionGuide();
    ASSERT_NE(guide, nullptr);
    QApplication::processEvents();
    for (int i = 0; i < ui::SelectionGuide::kCaptions; ++i) {
        QWidget* host = guide->captionHost(i);
        ASSERT_NE(host, nullptr);
        EXPECT_EQ(host->parentWidget(), guide);
        EXPECT_EQ(host->geometry(), guide->captionRect(i));
        EXPECT_TRUE(guide->rect().contains(host->geometry()));
        EXPECT_GT(host->height(), host->width()); // room for a caption turned by 90°
        for (int j = 0; j < i; ++j)
            EXPECT_FALSE(host->geometry().intersects(guide->captionHost(j)->geometry()));
    }
    // "hodně" above "málo", the long caption beside them.
    EXPECT_LT(guide->captionRect(0).bottom(), guide->captionRect(2).top());
    EXPECT_LT(guide->captionRect(1).right(), guide->captionRect(0).left());
    EXPECT_EQ(guide->captionHost(3), nullptr);

    // The captions came up through the library's class factory, each filling its place.
    ASSERT_TRUE(window->veerHost().libraryLoaded()) << window->veerHost().lastError().toStdString();
    for (int i = 0; i < ui::SelectionGuide::kCaptions; ++i) {
        QWidget* caption = window->veerHost().caption(i);
        ASSERT_NE(caption, nullptr) << i;
        EXPECT_EQ(caption->parentWidget(), guide->captionHost(i));
    }
    window->close();
    EXPECT_EQ(window->veerHost().caption(0), nullptr); // released with the window
}

// Qt puts the C library into the user's locale; a Czech user's decimal comma
// must not reach the numbers the window shows.
TEST_F(CalcWindowTest, NumbersIgnoreTheUsersDecimalComma)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "cs_CZ.UTF-8"))
        GTEST_SKIP() << "the cs_CZ.UTF-8 locale is not installed";
    sharedInputs();
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(widget<QLineEdit>(calc().txtSoucFiltrace)->text(), "2.0E-05");
    EXPECT_EQ(widget<QLineEdit>(calc().txtOdtokDoInfil)->text(), "18.0");
}

TEST(QtServicesTest, TimeAndDateInTheUsersFormat)
{
    const model::DateTime when{2024, 3, 5, 7, 8, 9};
    const QString czech = ui::timeText(QLocale(QLocale::Czech, QLocale::Czechia), when);
    EXPECT_TRUE(czech.startsWith("7:08:09")) << czech.toStdString();
    EXPECT_FALSE(czech.contains(QRegularExpression("[A-Za-z]"))) << czech.toStdString(); // no time zone
    EXPECT_TRUE(ui::timeText(QLocale(QLocale::English, QLocale::UnitedStates), when).contains("7:08:09"));
    // The date keeps the user's order and separators, with the year whole.
    EXPECT_EQ(ui::dateText(QLocale(QLocale::Czech, QLocale::Czechia), when).right(4), "2024");
    EXPECT_EQ(ui::dateText(QLocale(QLocale::English, QLocale::UnitedStates), when), "3/5/2024");
    EXPECT_EQ(ui::dateText(QLocale(QLocale::German, QLocale::Germany), when), "05.03.2024");
    EXPECT_TRUE(ui::dateText(QLocale(QLocale::Japanese, QLocale::Japan), when).startsWith("2024/"));
}

// Screenshots of every pane, both panels and the first tab, for a person to
// look at: set INFIL_SHOTS_DIR to a folder to write them.
TEST_F(CalcWindowTest, Screenshots)
{
    const char* dir = std::getenv("INFIL_SHOTS_DIR");
    if (!dir || !*dir)
        GTEST_SKIP() << "INFIL_SHOTS_DIR not set";
    QDir().mkpath(dir);
    window->resize(window->size().boundedTo(QSize(1350, 720))); // as it opens on a 1366 x 768 screen
    auto shoot = [&](const QString& name) {
        for (int i = 0; i < 3; ++i) // a wrapped text may take a second layout pass
            QApplication::processEvents();
        window->grab().save(QDir(dir).filePath(name + ".png"));
    };
    app.userAction([this] { calc().box("txtProjName").setText("Rodinný dům Na Výsluní"); });
    window->tabs()->setCurrentIndex(0);
    shoot("tab0");
    window->tabs()->setCurrentIndex(1);
    shoot("empty");
    sharedInputs();
    for (int k = 1; k <= 6; ++k) {
        chooseTechnology(k);
        shoot(QString("pane%1").arg(k));
        if (k == 3 || k == 4) {
            click(calc().chkSelPretok[k]);
            shoot(QString("pane%1-panel").arg(k));
        }
    }
}

} // namespace
