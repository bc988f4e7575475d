// The binding layer on a small form of its own: what the user does reaches the
// model through one user action, and the widgets always show the model's state.

#include "FloatOps.h"
#include "NumberFormat.h"
#include "WindowTestSupport.h"

#include "ui/Binding.h"
#include "ui/QtMessagePort.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

using namespace infil;

namespace {

using test::RecordingPort;
using test::waitFor;

class TestForm : public model::Form {
public:
    TestForm() : Form("frmTest") { setOpen(true); }
    template <typename T, typename... Args>
    T& make(const char* name, Args&&... args)
    {
        return add<T>(name, -1, nullptr, std::forward<Args>(args)...);
    }
    void reopen() { setOpen(true); }
};

void sendFocus(QWidget* widget, QEvent::Type type, Qt::FocusReason reason)
{
    QFocusEvent event(type, reason);
    QApplication::sendEvent(widget, &event);
}

class BindingTest : public ::testing::Test {
protected:
    BindingTest() : app("/nonexistent", port), window(new QWidget), binder(app, window.get())
    {
        new QVBoxLayout(window.get());
    }
    template <typename W>
    W* add(W* widget)
    {
        widget->setParent(window.get());
        window->layout()->addWidget(widget);
        return widget;
    }
    RecordingPort port;
    model::Application app;
    TestForm form;
    std::unique_ptr<QWidget> window;
    ui::Binder binder;
};

TEST_F(BindingTest, TypingReachesTheModelAndTheModelsAnswerIsShown)
{
    auto& box = form.make<model::TextBox>("txtNumber");
    float field = 0;
    box.onChange = [&] {
        // A rule of the kind the windows use: a text that is no number is removed.
        if (!box.text().empty() && box.text().find_first_not_of("0123456789.") != std::string::npos)
            box.setText("");
        field = static_cast<float>(num::valueOf(box.text()));
    };
    auto* edit = binder.bind(box, add(new QLineEdit));
    EXPECT_EQ(edit->objectName(), "txtNumber");
    EXPECT_EQ(binder.widget(box), edit);
    EXPECT_EQ(binder.control(edit), &box);

    QTest::keyClicks(edit, "1.5");
    EXPECT_EQ(box.text(), "1.5");
    EXPECT_FLOAT_EQ(field, 1.5f);
    QTest::keyClicks(edit, ",");
    EXPECT_EQ(box.text(), "");
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(field, 0);

    // Code setting the text, read-only and the grey background shows at once.
    box.setText("42");
    box.setReadOnly(true);
    box.setBackground(model::TextBox::Background::ButtonFace);
    EXPECT_EQ(edit->text(), "42");
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_EQ(edit->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Button));
    box.setBackground(model::TextBox::Background::Window);
    EXPECT_EQ(edit->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
    box.setEnabled(false);
    box.setVisible(false);
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_TRUE(edit->isHidden());
}

TEST_F(BindingTest, FocusForwardsOnlyTheUsersMoves)
{
    auto& box = form.make<model::TextBox>("txtBox");
    auto& list = form.make<model::ComboBox>("cboList");
    int got = 0, lost = 0, listGot = 0;
    std::vector<int> keys;
    box.onGotFocus = [&] { ++got; };
    box.onLostFocus = [&] { ++lost; };
    box.onKeyDown = [&](int code) {
        keys.push_back(code);
        return false;
    };
    list.onGotFocus = [&] { ++listGot; };
    auto* edit = binder.bind(box, add(new QLineEdit));
    auto* combo = binder.bind(list, add(new QComboBox));

    sendFocus(edit, QEvent::FocusIn, Qt::MouseFocusReason);
    EXPECT_EQ(got, 1);
    EXPECT_EQ(form.focusTarget(), &box);
    sendFocus(edit, QEvent::FocusOut, Qt::TabFocusReason);
    EXPECT_EQ(lost, 1);
    // A message box or a drop-down taking the focus and giving it back is not
    // the user's doing: a got-focus reminder must not show again and again.
    for (auto reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
        sendFocus(combo, QEvent::FocusIn, reason);
        sendFocus(edit, QEvent::FocusOut, reason);
    }
    EXPECT_EQ(listGot, 0);
    EXPECT_EQ(lost, 1);
    sendFocus(combo, QEvent::FocusIn, Qt::TabFocusReason);
    EXPECT_EQ(listGot, 1);
    EXPECT_EQ(form.focusTarget(), &list);

    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Escape);
    QTest::keyClick(edit, Qt::Key_A);
    EXPECT_EQ(keys, (std::vector<int>{13, 27, 65}));
}

TEST_F(BindingTest, TheModelMovesTheFocusAfterTheActionEnds)
{
    auto& first = form.make<model::TextBox>("txtFirst");
    auto& second = form.make<model::TextBox>("txtSecond");
    int secondGot = 0;
    second.onGotFocus = [&] { ++secondGot; };
    // Entering the first box sends the user on to the second, as a reminder does.
    first.onGotFocus = [&] { form.setFocus(&second); };
    auto* elsewhere = add(new QLineEdit); // takes the focus when the window opens
    auto* a = binder.bind(first, add(new QLineEdit));
    auto* b = binder.bind(second, add(new QLineEdit));
    binder.bindWindow(form, window.get(), false);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    ASSERT_TRUE(elsewhere->hasFocus());

    a->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(form.focusTarget(), &second);
    EXPECT_FALSE(b->hasFocus()); // not while the action runs
    waitFor([&] { return b->hasFocus(); });
    EXPECT_TRUE(b->hasFocus());
    EXPECT_EQ(secondGot, 1); // the move itself arrives as the user's focus change
}

TEST_F(BindingTest, OptionsFollowTheModelNotQt)
{
    model::OptionGroup group;
    auto& on = form.make<model::OptionButton>("optA", group);
    auto& off = form.make<model::OptionButton>("optB", group);
    on.setCaption("A & B");
    int clicks = 0;
    on.onClick = off.onClick = [&] { ++clicks; };
    on.setValue(true);
    clicks = 0;
    auto* a = binder.bind(on, add(new QRadioButton));
    auto* b = binder.bind(off, add(new QRadioButton));
    EXPECT_EQ(a->text(), "A && B"); // shown literally, not as a mnemonic
    EXPECT_TRUE(a->isChecked());

    a->click(); // the option that is on: nothing happens, and it stays on
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(a->isChecked());
    EXPECT_TRUE(on.value());

    b->click();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(a->isChecked());
    EXPECT_TRUE(b->isChecked());

    // A handler that refuses the choice: the model switches back, the widgets follow.
    on.onClick = [&] { off.setValue(true); };
    a->click();
    EXPECT_TRUE(off.value());
    EXPECT_FALSE(a->isChecked());
    EXPECT_TRUE(b->isChecked());
}

TEST_F(BindingTest, CheckBoxListAndUpDownShowTheModelsDecision)
{
    auto& check = form.make<model::CheckBox>("chkOption");
    check.onClick = [&] {
        if (check.checked())
            check.setChecked(false); // e.g. a panel confirmed with nothing to do
    };
    auto* tick = binder.bind(check, add(new QCheckBox));
    tick->click();
    EXPECT_FALSE(check.checked());
    EXPECT_FALSE(tick->isChecked());

    auto& list = form.make<model::ComboBox>("cboList");
    int listClicks = 0;
    list.onClick = [&] { ++listClicks; };
    auto* combo = binder.bind(list, add(new QComboBox));
    list.addItem("první");
    list.addItem("druhý");
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(1), QString::fromUtf8("druhý"));
    EXPECT_EQ(combo->currentIndex(), -1);
    Q_EMIT combo->activated(1);
    Q_EMIT combo->activated(1); // choosing the chosen entry runs the handler again
    EXPECT_EQ(listClicks, 2);
    EXPECT_EQ(combo->currentIndex(), 1);
    list.clear();
    EXPECT_EQ(combo->count(), 0);

    auto& buddy = form.make<model::TextBox>("txtCount");
    buddy.setText("1");
    auto& updown = form.make<model::UpDown>("updCount", buddy, 1, 3);
    auto* count = binder.bind(buddy, add(new QLineEdit));
    auto* arrows = binder.bind(updown, add(new ui::UpDownButtons));
    for (int i = 0; i < 4; ++i)
        arrows->upButton()->click();
    EXPECT_EQ(count->text(), "3");
    arrows->downButton()->click();
    EXPECT_EQ(count->text(), "2");
    updown.setEnabled(false);
    EXPECT_FALSE(arrows->isEnabled());
}

TEST_F(BindingTest, LabelsLinksButtonsAndContainers)
{
    auto& panel = form.make<model::Container>("picPanel");
    auto& caption = form.make<model::Label>("lblCaption");
    auto& link = form.make<model::Label>("lblLink");
    auto& button = form.make<model::Button>("cmdGo");
    caption.setCaption("<b>ne</b>");
    link.setCaption("a < b");
    button.setCaption("Výpočti");
    std::vector<std::string> opened;
    link.onClick = [&] { opened.push_back("link"); };
    int pressed = 0;
    button.onClick = [&] { ++pressed; };

    auto* frame = binder.bind(panel, add(new QWidget));
    auto* plain = binder.bind(caption, add(new QLabel));
    auto* anchor = binder.bindLink(link, add(new QLabel));
    auto* push = binder.bind(button, add(new QPushButton));
    EXPECT_EQ(plain->text(), "<b>ne</b>");
    EXPECT_EQ(plain->textFormat(), Qt::PlainText);
    EXPECT_TRUE(anchor->text().contains("a &lt; b"));
    Q_EMIT anchor->linkActivated("#");
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_EQ(push->text(), QString::fromUtf8("Výpočti"));
    push->click();
    EXPECT_EQ(pressed, 1);

    panel.setVisible(false);
    EXPECT_TRUE(frame->isHidden());
    panel.setVisible(true);
    EXPECT_FALSE(frame->isHidden());
    button.setVisible(false);
    EXPECT_TRUE(push->isHidden());
}

TEST_F(BindingTest, MultiLineBoxesKeepCrLfInTheModel)
{
    auto& box = form.make<model::TextBox>("txtNotes");
    box.setMultiLine(true);
    auto* edit = binder.bind(box, add(new QPlainTextEdit));
    QTest::keyClicks(edit, "a");
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClicks(edit, "b");
    EXPECT_EQ(box.text(), "a\r\nb");
    box.setText("x\r\ny\r\nz");
    EXPECT_EQ(edit->toPlainText(), "x\ny\nz");
}

TEST_F(BindingTest, FaultsBecomeMessagesAndNothingReEntersARunningAction)
{
    auto& faulty = form.make<model::Button>("cmdFault");
    faulty.onClick = [] { throw FloatFault(FloatFault::Kind::DivisionByZero); };
    auto& other = form.make<model::Button>("cmdOther");
    int otherClicks = 0;
    other.onClick = [&] { ++otherClicks; };
    auto* fault = binder.bind(faulty, add(new QPushButton));
    auto* second = binder.bind(other, add(new QPushButton));

    fault->click();
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].icon, MessageIcon::Stop);

    // While an action runs (say, inside its message box) no widget event reaches
    // the model, and the widget keeps showing the model's state.
    auto& box = form.make<model::TextBox>("txtBox");
    auto* edit = binder.bind(box, add(new QLineEdit));
    faulty.onClick = [&] {
        second->click();
        QTest::keyClicks(edit, "7");
    };
    fault->click();
    EXPECT_EQ(otherClicks, 0);
    EXPECT_EQ(box.text(), "");
    EXPECT_EQ(edit->text(), "");
    EXPECT_FALSE(ui::Binder::busy());
}

TEST_F(BindingTest, AViewMayGoBeforeItsModel)
{
    auto& box = form.make<model::TextBox>("txtBox");
    auto* edit = binder.bind(box, add(new QLineEdit));
    delete edit;
    box.setText("still fine");
    box.setEnabled(false);
    EXPECT_EQ(binder.widget(box), nullptr);
}

TEST_F(BindingTest, ADialogWindowIsShownWhileItsFormIsOpen)
{
    binder.bindWindow(form, window.get(), true);
    EXPECT_TRUE(window->isVisible());
    window->close(); // the close box: the form decides
    EXPECT_FALSE(form.isOpen());
    EXPECT_FALSE(window->isVisible());
    form.reopen();
    EXPECT_TRUE(window->isVisible());
    form.setEnabled(false);
    EXPECT_FALSE(window->isEnabled());
}

// A dialog's window takes the keys its controls leave: Esc is the close box,
// Enter the default button while it can be pressed or the focused button.
// A key a box's model uses goes no further.
TEST_F(BindingTest, EscAndEnterReachTheWindowOnlyWhenNoControlTookThem)
{
    auto& editor = form.make<model::TextBox>("txtEditor");
    auto& other = form.make<model::TextBox>("txtOther");
    auto& ok = form.make<model::Button>("cmdOK");
    auto& help = form.make<model::Button>("cmdHelp");
    int escapes = 0, oks = 0, helps = 0;
    editor.onKeyDown = [&](int key) { return key == 27 && ++escapes > 0; };
    ok.onClick = [&] { ++oks; };
    help.onClick = [&] { ++helps; };
    auto* editorEdit = binder.bind(editor, add(new QLineEdit));
    auto* otherEdit = binder.bind(other, add(new QLineEdit));
    auto* okButton = binder.bind(ok, add(new QPushButton));
    auto* helpButton = binder.bind(help, add(new QPushButton));
    binder.bindWindow(form, window.get(), true);
    binder.setEnterButton(window.get(), ok);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    editorEdit->setFocus();
    QTest::keyClick(editorEdit, Qt::Key_Escape); // the editor's own
    EXPECT_EQ(escapes, 1);
    EXPECT_TRUE(form.isOpen());

    QTest::keyClick(otherEdit, Qt::Key_Return);
    EXPECT_EQ(oks, 1);
    ok.setEnabled(false);
    QTest::keyClick(otherEdit, Qt::Key_Return); // a disabled default is not pressed
    EXPECT_EQ(oks, 1);
    helpButton->setFocus();
    QTest::keyClick(helpButton, Qt::Key_Return);
    EXPECT_EQ(helps, 1);
    EXPECT_EQ(oks, 1);
    EXPECT_FALSE(okButton->isEnabled());

    QTest::keyClick(otherEdit, Qt::Key_Escape);
    EXPECT_FALSE(form.isOpen());
    EXPECT_FALSE(window->isVisible());
}

// Every button may have an Alt key without its caption changing; boxes the
// user cannot type in are passed over by Tab but still take a click.
TEST_F(BindingTest, MnemonicsAndTheTabOrderOfReadOnlyBoxes)
{
    auto& button = form.make<model::Button>("cmdGo");
    button.setCaption("Výpočti & konec");
    button.setMnemonic('p');
    int pressed = 0;
    button.onClick = [&] { ++pressed; };
    auto* push = binder.bind(button, add(new QPushButton));
    EXPECT_EQ(push->text(), QString::fromUtf8("Vý&počti && konec"));
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_P, Qt::AltModifier);
    EXPECT_TRUE(waitFor([&] { return pressed == 1; })); // Qt shows the press first

    auto& result = form.make<model::TextBox>("txtResult");
    result.setReadOnly(true);
    auto* shown = binder.bind(result, add(new QLineEdit));
    EXPECT_EQ(shown->focusPolicy(), Qt::ClickFocus);
    result.setReadOnly(false);
    EXPECT_EQ(shown->focusPolicy(), Qt::StrongFocus);
}

TEST(QtMessagePortTest, CrLfBreaksLines)
{
    EXPECT_EQ(ui::messageBoxText("a\r\nb\rc\nd"), "a\nb\nc\nd");
}

} // namespace
