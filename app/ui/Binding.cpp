#include "model/Application.h"
#include "model/Controls.h"
#include "model/Form.h"

#include "Binding.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace infil::ui {
namespace {

using model::TextBox;

// Depth of user actions running now; the UI has one thread.
int g_busy = 0;

void runUserAction(model::Application& app, const std::function<void()>& action)
{
    if (g_busy > 0)
        return;
    ++g_busy;
    struct Leave {
        ~Leave() { --g_busy; }
    } leave;
    app.userAction(action);
}

QString qs(const std::string& text) { return QString::fromStdString(text); }

// Captions are shown literally: a "&" of theirs is no mnemonic. The control's
// own mnemonic underlines the first occurrence of its letter.
QString buttonText(const model::CaptionedControl& control)
{
    QString text = qs(control.caption()).replace('&', "&&");
    if (const char letter = control.mnemonic(); letter != 0 && letter != '&')
        if (const qsizetype at = text.indexOf(QLatin1Char(letter), 0, Qt::CaseInsensitive); at >= 0)
            text.insert(at, QLatin1Char('&'));
    return text;
}

// Qt moves the focus by itself when a window is activated or a popup opens and
// closes (a message box, a list's drop-down); those moves are not the user's.
bool foreignReason(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

// Enabled and shown as the model says. Only hides a widget that is a window of
// its own: showing windows is their view's business.
void mirrorCommon(QWidget* widget, const model::Control& control)
{
    widget->setEnabled(control.enabled());
    if (widget->toolTip() != qs(control.toolTip()))
        widget->setToolTip(qs(control.toolTip()));
    if (!control.visible()) {
        if (!widget->isHidden())
            widget->hide();
    } else if (widget->isHidden() && !widget->isWindow()) {
        widget->show();
    }
}

// Tab passes over a box the user cannot type in; a click still reaches it, so
// its text can be selected and copied.
void mirrorFocusPolicy(QWidget* widget, const TextBox& box)
{
    const Qt::FocusPolicy policy = box.readOnly() ? Qt::ClickFocus : Qt::StrongFocus;
    if (widget->focusPolicy() != policy)
        widget->setFocusPolicy(policy);
}

void mirrorBackground(QWidget* widget, TextBox::Background background)
{
    const QPalette standard = QApplication::palette(widget);
    const QColor colour = background == TextBox::Background::ButtonFace ? standard.color(QPalette::Button)
                                                                          : standard.color(QPalette::Base);
    if (widget->palette().color(QPalette::Base) == colour)
        return;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, colour); // all colour groups: a disabled box keeps its colour
    widget->setPalette(palette);
}

// Copies the control's state into its widget now and after every change of
// the control, with the widget's signals blocked so that the copy never
// re-enters the model: the common state first, then what `own` copies for this
// kind of widget. The widget may go away before its control; then nothing
// happens. Returns the copying function, for handlers that show the model's
// state again after the user's edit.
template <class Widget, class Model, class Own>
auto mirrorInto(Widget* widget, Model& control, Own own)
{
    auto mirror = [widget = QPointer<Widget>(widget), &control, own] {
        if (!widget)
            return;
        const QSignalBlocker block(widget);
        mirrorCommon(widget, control);
        own(widget.data());
    };
    control.observe(mirror);
    mirror();
    return mirror;
}

// The event filter that turns focus, key and close events into model calls.
class EventForwarder : public QObject {
public:
    using QObject::QObject;
    std::function<void()> focusIn;
    std::function<void()> focusOut;
    // A key pressed in a box; true when the model used it, and then it goes no
    // further.
    std::function<bool(int)> keyDown;
    std::function<void()> close;
    // Esc and Enter that reached a window because no control took them.
    std::function<void()> escape;
    std::function<bool()> enter;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::FocusIn:
            if (focusIn && !foreignReason(static_cast<QFocusEvent*>(event)->reason()))
                focusIn();
            break;
        case QEvent::FocusOut:
            if (focusOut && !foreignReason(static_cast<QFocusEvent*>(event)->reason()))
                focusOut();
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (keyDown) {
                const int code = windowsKeyCode(key);
                if (code != 0 && keyDown(code))
                    return true;
            }
            if (escape && key == Qt::Key_Escape && static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
                escape();
                return true;
            }
            if (enter && (key == Qt::Key_Return || key == Qt::Key_Enter) && enter())
                return true;
            break;
        }
        case QEvent::Close:
            if (close) {
                close();
                event->ignore(); // the model's state decides whether the window goes
                return true;
            }
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
};

EventForwarder* forwarderOf(QWidget* widget)
{
    // dynamic_cast, not findChild: the forwarder has no meta-object of its own.
    for (QObject* child : widget->children())
        if (auto* forwarder = dynamic_cast<EventForwarder*>(child))
            return forwarder;
    auto* forwarder = new EventForwarder(widget);
    widget->installEventFilter(forwarder);
    return forwarder;
}

// Model texts of multi-line boxes use CR LF; Qt's use LF.
QString fromModelLines(const std::string& text)
{
    return qs(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string toModelLines(const QString& text)
{
    QString copy = text;
    copy.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return copy.replace(QStringLiteral("\n"), QStringLiteral("\r\n")).toStdString();
}

} // namespace

// ---------------------------------------------------------------------------

UpDownButtons::UpDownButtons(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const int height = QLineEdit().sizeHint().height();
    auto make = [&](Qt::ArrowType arrow) {
        auto* button = new QToolButton(this);
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(height * 2 / 3, height / 2);
        layout->addWidget(button);
        return button;
    };
    up_ = make(Qt::UpArrow);
    down_ = make(Qt::DownArrow);
    connect(up_, &QToolButton::clicked, this, &UpDownButtons::up);
    connect(down_, &QToolButton::clicked, this, &UpDownButtons::down);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

// ---------------------------------------------------------------------------

Binder::Binder(model::Application& app, QObject* parent)
    : QObject(parent), app_(app), registry_(std::make_shared<Registry>())
{
}

bool Binder::busy() { return g_busy > 0; }

void Binder::act(const std::function<void()>& action) { runUserAction(app_, action); }

void Binder::registerWidget(model::Control& control, QWidget* widget)
{
    widget->setObjectName(qs(control.key()));
    (*registry_)[&control] = widget;
}

QWidget* Binder::widget(const model::Control& control) const
{
    const auto it = registry_->find(&control);
    return it == registry_->end() ? nullptr : it->second.data();
}

model::Control* Binder::control(const QWidget* widget) const
{
    for (const auto& [control, bound] : *registry_)
        if (bound == widget)
            return const_cast<model::Control*>(control);
    return nullptr;
}

void Binder::forwardFocus(model::Control& control, QWidget* widget)
{
    model::Application& app = app_;
    auto* forwarder = forwarderOf(widget);
    auto* box = dynamic_cast<model::TextBox*>(&control);
    auto* list = dynamic_cast<model::ComboBox*>(&control);
    forwarder->focusIn = [&app, &control, box, list] {
        runUserAction(app, [&] {
            // The model keeps track of the focus, so that it can move it on.
            control.form().setFocus(&control);
            if (box)
                box->gotFocus();
            if (list)
                list->gotFocus();
        });
    };
    if (box) {
        forwarder->focusOut = [&app, box] { runUserAction(app, [box] { box->lostFocus(); }); };
        forwarder->keyDown = [&app, box](int code) {
            bool used = false;
            runUserAction(app, [box, code, &used] { used = box->keyDown(code); });
            return used;
        };
    }
}

QLineEdit* Binder::bind(model::TextBox& box, QLineEdit* edit)
{
    registerWidget(box, edit);
    auto mirror = mirrorInto(edit, box, [&box](QLineEdit* edit) {
        edit->setReadOnly(box.readOnly());
        mirrorFocusPolicy(edit, box);
        mirrorBackground(edit, box.background());
        const QString text = qs(box.text());
        if (edit->text() != text) {
            // Keep the caret where the user was typing; otherwise show the start.
            const bool typing = edit->hasFocus();
            const int caret = edit->cursorPosition();
            edit->setText(text);
            edit->setCursorPosition(typing ? std::min(caret, static_cast<int>(text.size())) : 0);
        }
    });
    model::Application& app = app_;
    connect(edit, &QLineEdit::textEdited, edit, [&app, &box, mirror](const QString& text) {
        runUserAction(app, [&] { box.setText(text.toStdString()); });
        mirror(); // also when the model refused the change
    });
    forwardFocus(box, edit);
    return edit;
}

QPlainTextEdit* Binder::bind(model::TextBox& box, QPlainTextEdit* edit)
{
    registerWidget(box, edit);
    auto mirror = mirrorInto(edit, box, [&box](QPlainTextEdit* edit) {
        edit->setReadOnly(box.readOnly());
        mirrorFocusPolicy(edit, box);
        mirrorBackground(edit, box.background());
        const QString text = fromModelLines(box.text());
        if (edit->toPlainText() != text) {
            const bool typing = edit->hasFocus();
            const int caret = edit->textCursor().position();
            edit->setPlainText(text);
            QTextCursor cursor = edit->textCursor();
            cursor.setPosition(typing ? std::min(caret, static_cast<int>(text.size())) : 0);
            edit->setTextCursor(cursor);
        }
    });
    model::Application& app = app_;
    connect(edit, &QPlainTextEdit::textChanged, edit, [&app, &box, edit, mirror] {
        const std::string text = toModelLines(edit->toPlainText());
        runUserAction(app, [&] { box.setText(text); });
        mirror();
    });
    forwardFocus(box, edit);
    return edit;
}

QPushButton* Binder::bind(model::Button& button, QPushButton* widget)
{
    registerWidget(button, widget);
    mirrorInto(widget, button, [&button](QPushButton* widget) { widget->setText(buttonText(button)); });
    model::Application& app = app_;
    connect(widget, &QPushButton::clicked, widget,
            [&app, &button] { runUserAction(app, [&] { button.click(); }); });
    return widget;
}

QRadioButton* Binder::bind(model::OptionButton& option, QRadioButton* widget)
{
    registerWidget(option, widget);
    // The model switches the group's options; Qt's own grouping would fight it.
    widget->setAutoExclusive(false);
    auto mirror = mirrorInto(widget, option, [&option](QRadioButton* widget) {
        widget->setText(buttonText(option));
        widget->setChecked(option.value());
    });
    model::Application& app = app_;
    connect(widget, &QRadioButton::clicked, widget, [&app, &option, mirror] {
        if (!option.value()) // a click on the option that is on does nothing
            runUserAction(app, [&] { option.click(); });
        mirror(); // Qt has toggled the button; show the model's state again
    });
    return widget;
}

QCheckBox* Binder::bind(model::CheckBox& check, QCheckBox* widget)
{
    registerWidget(check, widget);
    widget->setTristate(false);
    auto mirror = mirrorInto(widget, check, [&check](QCheckBox* widget) {
        widget->setText(buttonText(check));
        widget->setChecked(check.checked());
    });
    model::Application& app = app_;
    connect(widget, &QCheckBox::clicked, widget, [&app, &check, mirror](bool checked) {
        runUserAction(app, [&] { check.setChecked(checked); });
        mirror();
    });
    return widget;
}

namespace {

// A dot beside the entries a list marks, a blank of the same size beside the
// others so that the names stay aligned; the mark's text is the tool tip.
void mirrorMarks(QComboBox* widget, const model::ComboBox& list)
{
    static const QIcon dot = [] {
        QPixmap pixmap(12, 12);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x1E, 0x7B, 0x34));
        painter.drawEllipse(QRectF(2, 2, 8, 8));
        return QIcon(pixmap);
    }();
    static const QIcon blank = [] {
        QPixmap pixmap(12, 12);
        pixmap.fill(Qt::transparent);
        return QIcon(pixmap);
    }();
    bool any = false;
    for (int i = 0; i < widget->count() && !any; ++i)
        any = !list.itemMark(i).empty();
    for (int i = 0; i < widget->count(); ++i) {
        const std::string& mark = list.itemMark(i);
        widget->setItemIcon(i, !any ? QIcon() : mark.empty() ? blank : dot);
        widget->setItemData(i, mark.empty() ? QVariant() : QVariant(qs(mark)), Qt::ToolTipRole);
    }
}

} // namespace

QComboBox* Binder::bind(model::ComboBox& list, QComboBox* widget)
{
    registerWidget(list, widget);
    widget->setEditable(false);
    auto mirror = mirrorInto(widget, list, [&list](QComboBox* widget) {
        const auto& items = list.items();
        bool same = widget->count() == static_cast<int>(items.size());
        for (int i = 0; same && i < widget->count(); ++i)
            same = widget->itemText(i) == qs(items[static_cast<std::size_t>(i)]);
        if (!same) {
            widget->clear();
            for (const auto& item : items)
                widget->addItem(qs(item));
        }
        mirrorMarks(widget, list);
        if (widget->currentIndex() != list.listIndex())
            widget->setCurrentIndex(list.listIndex());
    });
    model::Application& app = app_;
    // activated: the user's choice, also of the entry already chosen.
    connect(widget, &QComboBox::activated, widget, [&app, &list, mirror](int index) {
        runUserAction(app, [&] { list.setListIndex(index); });
        mirror();
    });
    forwardFocus(list, widget);
    return widget;
}

UpDownButtons* Binder::bind(model::UpDown& updown, UpDownButtons* widget)
{
    registerWidget(updown, widget);
    mirrorInto(widget, updown, [](UpDownButtons*) {});
    model::Application& app = app_;
    connect(widget, &UpDownButtons::up, widget, [&app, &updown] { runUserAction(app, [&] { updown.up(); }); });
    connect(widget, &UpDownButtons::down, widget,
            [&app, &updown] { runUserAction(app, [&] { updown.down(); }); });
    return widget;
}

QLabel* Binder::bind(model::Label& label, QLabel* widget)
{
    registerWidget(label, widget);
    widget->setTextFormat(Qt::PlainText);
    mirrorInto(widget, label, [&label](QLabel* widget) { widget->setText(qs(label.caption())); });
    return widget;
}

QLabel* Binder::bindLink(model::Label& label, QLabel* widget)
{
    registerWidget(label, widget);
    widget->setTextFormat(Qt::RichText);
    widget->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    widget->setOpenExternalLinks(false); // the model opens it, through Application::openUrl
    mirrorInto(widget, label, [&label](QLabel* widget) {
        widget->setText(QStringLiteral("<a href=\"#\">%1</a>").arg(qs(label.caption()).toHtmlEscaped()));
    });
    model::Application& app = app_;
    connect(widget, &QLabel::linkActivated, widget,
            [&app, &label] { runUserAction(app, [&] { label.click(); }); });
    return widget;
}

QWidget* Binder::bind(model::Container& container, QWidget* widget)
{
    registerWidget(container, widget);
    mirrorInto(widget, container, [](QWidget*) {});
    return widget;
}

void Binder::bindWindow(model::Form& form, QWidget* window, bool mirrorOpen)
{
    auto lastFocus = std::make_shared<const model::Control*>(form.focusTarget());
    // Where the keyboard was when a dialog disabled the window: it goes back
    // there when the dialog closes, not to the first box of the window.
    auto focusBefore = std::make_shared<QPointer<QWidget>>();
    auto mirror = [window = QPointer<QWidget>(window), &form, registry = registry_, lastFocus, mirrorOpen,
                   focusBefore] {
        if (!window)
            return;
        if (window->isEnabled() && !form.enabled()) {
            *focusBefore = window->focusWidget();
        } else if (!window->isEnabled() && form.enabled() && *focusBefore) {
            // Not the user's move: the model is not told (it is a window's own).
            QTimer::singleShot(0, focusBefore->data(), [widget = *focusBefore] {
                if (!widget || !widget->isVisible() || !widget->isEnabled())
                    return;
                widget->window()->activateWindow();
                widget->setFocus(Qt::ActiveWindowFocusReason);
            });
        }
        window->setEnabled(form.enabled());
        if (mirrorOpen && form.isOpen() != window->isVisible())
            window->setVisible(form.isOpen());
        // Move the focus only when the model names a new target: the user may
        // have put it elsewhere since.
        const model::Control* target = form.focusTarget();
        if (target == *lastFocus)
            return;
        *lastFocus = target;
        const auto it = target ? registry->find(target) : registry->end();
        if (it == registry->end() || !it->second || it->second == QApplication::focusWidget())
            return;
        // After the running action: focus events are forwarded to the model, and
        // it must not be re-entered while it works.
        QTimer::singleShot(0, it->second.data(), [widget = it->second] {
            if (widget)
                widget->setFocus(Qt::OtherFocusReason);
        });
    };
    form.observe(mirror);
    mirror();
    if (mirrorOpen) {
        model::Application& app = app_;
        auto* forwarder = forwarderOf(window);
        forwarder->close = [&app, &form] { runUserAction(app, [&] { form.close(); }); };
        // Esc that no control took is the close box, and leaves what it leaves.
        forwarder->escape = [window = QPointer<QWidget>(window)] {
            if (window)
                window->close();
        };
        // Enter on a focused button presses that button.
        forwarder->enter = [] {
            auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
            if (!button || !button->isEnabled() || !button->isVisible())
                return false;
            button->click();
            return true;
        };
    }
}

void Binder::setEnterButton(QWidget* window, model::Button& button)
{
    model::Application& app = app_;
    auto* forwarder = forwarderOf(window);
    // Enter that no control took presses the window's default button, when it
    // can be pressed; Enter on another focused button presses that one.
    forwarder->enter = [&app, &button, previous = forwarder->enter] {
        if (previous && previous())
            return true;
        if (!button.effectivelyEnabled() || !button.effectivelyVisible())
            return false;
        runUserAction(app, [&] { button.click(); });
        return true;
    };
}

// ---------------------------------------------------------------------------

int titleWidth(const QWidget* window)
{
    // Title bars commonly use a bold type a little larger than the window's,
    // and keep room for an icon and three buttons.
    QFont title = window->font();
    title.setBold(true);
    if (title.pointSizeF() > 0)
        title.setPointSizeF(title.pointSizeF() * 1.1);
    const QFontMetrics metrics(title);
    return metrics.horizontalAdvance(window->windowTitle()) + 4 * metrics.height() + 24;
}

int windowsKeyCode(int key)
{
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return key; // the same codes
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
    }
}

} // namespace infil::ui
