#pragma once
// Ties the plain control models (model/Controls.h) to Qt widgets, both ways.
// Every window view builds its widgets and hands each one, with its control
// model, to a Binder:
//
//  * What the user does to a widget becomes one call into the model, run through
//    Application::userAction, so no fault escapes a Qt event:
//      QLineEdit / QPlainTextEdit  typing -> TextBox::setText, focus -> gotFocus /
//                                  lostFocus, keys -> keyDown (Windows key codes;
//                                  a key the model used goes no further)
//      QPushButton                 click -> Button::click
//      QRadioButton                click -> OptionButton::click (nothing when on)
//      QCheckBox                   click -> CheckBox::setChecked
//      QComboBox                   activated -> ComboBox::setListIndex, focus -> gotFocus
//      UpDownButtons               arrows -> UpDown::up / down
//      QLabel (bindLink)           link -> Label::click
//  * Every change of a model is copied into its widget with the widget's signals
//    blocked (text, caption, checked state, list entries, enabled, visible,
//    read-only, background), so mirroring never re-enters the model. The model
//    decides everything: an option that is on stays on when clicked again, a
//    check box the model switches off shows off, Qt's exclusive radio groups are
//    switched off.
//  * Focus changes that Qt makes for its own reasons (another window becoming
//    active, a popup or a message box opening and closing) are not the user's and
//    are not forwarded, or a got-focus reminder box would re-trigger itself. Nor
//    is anything forwarded while a user action is still running (a message box's
//    own event loop, focus moved by the model hiding a widget).
//
// Bind widgets that already have a parent (or at least before their window is
// first shown): the binder shows and hides them as the model says, and a widget
// without a parent would become a window of its own.
//
// Each bound widget is named after its control's key ("txtSoucBezp(2)"), so a
// view or a test finds it with findChild<QWidget*>("txtSoucBezp(2)"). A widget
// may go away before its model; the model's observers then do nothing.

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace infil::model {
class Application;
class Button;
class CheckBox;
class ComboBox;
class Container;
class Control;
class Form;
class Label;
class OptionButton;
class TextBox;
class UpDown;
} // namespace infil::model

namespace infil::ui {

// The two small arrow buttons of an up-down control, stacked; sits beside its
// buddy box.
class UpDownButtons : public QWidget {
    Q_OBJECT
public:
    explicit UpDownButtons(QWidget* parent = nullptr);
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

Q_SIGNALS:
    void up();
    void down();

private:
    QToolButton* up_;
    QToolButton* down_;
};

class Binder : public QObject {
    Q_OBJECT
public:
    explicit Binder(model::Application& app, QObject* parent = nullptr);

    // Each returns the widget it was given, so a view can bind while it lays out.
    QLineEdit* bind(model::TextBox& box, QLineEdit* edit);
    // Multi-line boxes: the model keeps CR LF line breaks, as the report expects.
    QPlainTextEdit* bind(model::TextBox& box, QPlainTextEdit* edit);
    QPushButton* bind(model::Button& button, QPushButton* widget);
    QRadioButton* bind(model::OptionButton& option, QRadioButton* widget);
    QCheckBox* bind(model::CheckBox& check, QCheckBox* widget);
    QComboBox* bind(model::ComboBox& list, QComboBox* widget);
    UpDownButtons* bind(model::UpDown& updown, UpDownButtons* widget);
    // A label showing its caption as plain text.
    QLabel* bind(model::Label& label, QLabel* widget);
    // A label shown as a link; activating it runs the label's click handler.
    QLabel* bindLink(model::Label& label, QLabel* widget);
    // A pane, panel or frame: shown and enabled as the model says.
    QWidget* bind(model::Container& container, QWidget* widget);

    // The window of a form: enabled while the form is (a dialog disables its
    // main window), and the keyboard focus moves where the model asks. With
    // mirrorOpen the window is also shown exactly while the form is open, and its
    // close box runs Form::close() instead of closing the window itself.
    //
    // A dialog's window (mirrorOpen) also takes the keys no control took: Esc
    // is its close box, Enter presses the focused button.
    void bindWindow(model::Form& form, QWidget* window, bool mirrorOpen);
    // Enter that no control took presses this button of the window, when the
    // user could press it. Call after bindWindow.
    void setEnterButton(QWidget* window, model::Button& button);

    // The widget bound to a control, nullptr if none (or it is gone).
    QWidget* widget(const model::Control& control) const;
    model::Control* control(const QWidget* widget) const;

    // Runs one action of the user on the model (through Application::userAction)
    // unless another one is still running; views use it for events the binder
    // does not cover (a tab change).
    void act(const std::function<void()>& action);
    // True while a user action runs (also inside its message boxes).
    static bool busy();

private:
    using Registry = std::map<const model::Control*, QPointer<QWidget>>;

    void registerWidget(model::Control& control, QWidget* widget);
    // Forwards focus and key events of a text box or list to its model.
    void forwardFocus(model::Control& control, QWidget* widget);

    model::Application& app_;
    std::shared_ptr<Registry> registry_;
};

// How wide a dialog must be for its title to show whole beside the window
// manager's buttons.
int titleWidth(const QWidget* window);

// Windows virtual-key code of a Qt key (13 Enter, 27 Esc, 'A'..'Z', ...), 0 for
// keys the windows do not distinguish.
int windowsKeyCode(int qtKey);

} // namespace infil::ui
