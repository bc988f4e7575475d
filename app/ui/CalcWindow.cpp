#include "CalcWindow.h"

#include "model/Application.h"
#include "model/CalcForm.h"

#include "Binding.h"
#include "Logo.h"
#include "ProjectMenu.h"
#include "SelectionGuide.h"
#include "VeerHost.h"

#include "DiagramPainter.h"
#include "ResultViews.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace infil::ui {
namespace {

const char* const kCaption = "INFIL - Výpočet infilovacích zařízení";

// The credits of the first tab: our own project, naming no one else.
const char* const kCredits[] = {
    "Projekt Infil",
    "Výpočetní pomůcka pro návrh infilovacích zařízení srážkových vod",
    "Vyvíjí a udržuje tým projektu Infil",
};

QString u8(const char* text) { return QString::fromUtf8(text); }

// A word-wrapped label whose minimum height follows its text and width: box
// layouts above a tab widget do not ask a label for its height for a width.
class WrappingLabel : public QLabel {
public:
    using QLabel::QLabel;
    void setWrappedText(const QString& text)
    {
        setText(text);
        fitHeight();
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        fitHeight();
    }

private:
    void fitHeight()
    {
        // A label's height for a width never goes below its minimum height.
        const int before = minimumHeight();
        setMinimumHeight(0);
        const int needed = heightForWidth(width());
        setMinimumHeight(needed > 0 ? needed : before);
    }
};

// The verdict's findings, each with its weight in its colour.
QString verdictHtml(const std::vector<verdict::Item>& items)
{
    if (items.empty())
        return QStringLiteral("<span style=\"color:#1b6e20\">") +
               u8("Návrh nepřekračuje žádnou z mezí, se kterými jej program porovnává.") + QStringLiteral("</span>");
    QString html;
    for (const verdict::Item& item : items) {
        const char* colour = item.severity == verdict::Severity::Error     ? "#a01010"
                             : item.severity == verdict::Severity::Warning ? "#8a5a00"
                                                                           : "#505050";
        if (!html.isEmpty())
            html += QStringLiteral("<br>");
        html += QStringLiteral("<span style=\"color:%1\"><b>%2:</b> %3</span>")
                    .arg(QLatin1String(colour), u8(verdict::severityName(item.severity)),
                         QString::fromStdString(item.text).toHtmlEscaped());
    }
    return html;
}

QLabel* text(const QString& content, QWidget* parent)
{
    auto* label = new QLabel(content, parent);
    label->setTextFormat(content.contains(QLatin1Char('<')) ? Qt::RichText : Qt::PlainText);
    return label;
}

// The scroll area of the technology panes: it asks for the room of the largest
// pane, but may get less.
class PaneScroll : public QScrollArea {
public:
    PaneScroll(QSize preferred, QWidget* parent) : QScrollArea(parent), preferred_(preferred) {}
    QSize sizeHint() const override { return preferred_ + QSize(2 * frameWidth(), 2 * frameWidth()); }

private:
    QSize preferred_;
};

// Widgets laid side by side in one cell.
QWidget* inRow(QWidget* parent, std::initializer_list<QWidget*> widgets, int spacing = 4)
{
    auto* holder = new QWidget(parent);
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    for (QWidget* widget : widgets) {
        widget->setParent(holder);
        layout->addWidget(widget);
    }
    layout->addStretch();
    return holder;
}

// Lays out the rows a container declares (model::Row) in a grid of five
// columns: label | symbol | box | unit | button. The rows decide everything; the
// grid only knows how each kind of row looks.
class RowGrid {
public:
    enum Column { kLabel, kSymbol, kBox, kUnit, kButton, kColumns };

    RowGrid(QWidget* owner, Binder& binder, int boxWidth)
        : owner_(owner), binder_(binder), boxWidth_(boxWidth), grid_(new QGridLayout(owner))
    {
        grid_->setHorizontalSpacing(6);
        grid_->setVerticalSpacing(3);
    }

    QGridLayout* grid() const { return grid_; }
    int next() const { return row_; }
    // Wide boxes are at least this wide (the project's texts).
    void setWideMinimum(int width) { wideMinimum_ = width; }
    // Build a panel's widget when its row comes (it opens over the rest of the
    // pane), and the one place of a stack of containers.
    std::function<QWidget*(model::Container&)> makePanel;
    std::function<QWidget*(const std::vector<model::Control*>&)> makeStack;

    void build(const std::vector<model::Row>& rows)
    {
        for (const model::Row& row : rows)
            add(row);
        if (panel_) {
            // The panel covers the rows below its own, down to the last.
            grid_->addWidget(panel_, panelRow_, 0, std::max(1, row_ - panelRow_), kButton);
            panel_->raise();
        }
    }

private:
    void add(const model::Row& row)
    {
        using model::RowKind;
        switch (row.kind) {
        case RowKind::Field: {
            label(row);
            if (!row.symbol.empty())
                grid_->addWidget(text(u8(row.symbol.c_str()), owner_), row_, kSymbol);
            auto& box = static_cast<model::TextBox&>(*row.controls.at(0));
            QWidget* edit = editFor(box, row.width);
            if (!row.prefix.empty()) {
                auto* prefix = text(u8(row.prefix.c_str()), owner_);
                edit->setFixedWidth(width(row.width) - prefix->sizeHint().width() - 2);
                edit = inRow(owner_, {prefix, edit}, 2);
            }
            if (row.width == model::Width::Wide)
                grid_->addWidget(edit, row_, kBox, 1, kColumns - kBox);
            else
                grid_->addWidget(edit, row_, kBox, Qt::AlignLeft);
            unit(row);
            if (row.controls.size() > 1)
                grid_->addWidget(button(*row.controls[1]), row_, kButton);
            ++row_;
            break;
        }
        case RowKind::Options:
            label(row);
            for (model::Control* option : row.controls)
                grid_->addWidget(radio(*option), row_++, kBox, 1, kColumns - kBox, Qt::AlignLeft);
            break;
        case RowKind::OptionsInRow: {
            label(row);
            auto* holder = new QWidget(owner_);
            auto* layout = new QHBoxLayout(holder);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->setSpacing(16);
            for (model::Control* option : row.controls)
                layout->addWidget(radio(*option, holder));
            layout->addStretch();
            grid_->addWidget(holder, row_++, kBox, 1, kColumns - kBox, Qt::AlignLeft);
            break;
        }
        case RowKind::List: {
            label(row);
            auto* list = binder_.bind(static_cast<model::ComboBox&>(*row.controls.at(0)), new QComboBox(owner_));
            // As wide as its entries where there is room, narrower where not
            // (its drop-down still shows them whole).
            list->setMinimumWidth(boxWidth_ * (row.width == model::Width::Wide ? 3 : 2));
            list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            list->setMinimumContentsLength(8);
            grid_->addWidget(list, row_++, kBox, 1, kColumns - kBox);
            break;
        }
        case RowKind::Counted: {
            label(row);
            auto* arrows = binder_.bind(static_cast<model::UpDown&>(*row.controls.at(1)), new UpDownButtons(owner_));
            QWidget* edit = editFor(static_cast<model::TextBox&>(*row.controls.at(0)), row.width);
            edit->setFixedWidth(width(row.width) - arrows->sizeHint().width() - 2);
            grid_->addWidget(inRow(owner_, {edit, arrows}, 2), row_, kBox, Qt::AlignLeft);
            unit(row);
            ++row_;
            break;
        }
        case RowKind::SideBySide: {
            auto* holder = new QWidget(owner_);
            auto* grid = new QGridLayout(holder);
            grid->setContentsMargins(0, 0, 0, 0);
            grid->setHorizontalSpacing(6);
            grid->setVerticalSpacing(1);
            int column = 0;
            for (std::size_t i = 0; i < row.controls.size(); ++i, ++column) {
                grid->addWidget(text(u8(row.captions.at(i).c_str()), holder), 0, column);
                auto* edit = binder_.bind(static_cast<model::TextBox&>(*row.controls[i]), new QLineEdit(holder));
                edit->setFixedWidth(width(row.width));
                grid->addWidget(edit, 1, column);
            }
            if (!row.unit.empty())
                grid->addWidget(text(u8(row.unit.c_str()), holder), 1, column);
            grid->setColumnStretch(column + 1, 1);
            grid_->addWidget(holder, row_++, kLabel, 1, kColumns, Qt::AlignLeft);
            break;
        }
        case RowKind::Check: {
            auto* check = binder_.bind(static_cast<model::CheckBox&>(*row.controls.at(0)), new QCheckBox(owner_));
            if (row.controls.size() > 1) {
                grid_->addWidget(check, row_, kLabel);
                grid_->addWidget(button(*row.controls[1]), row_, kBox, Qt::AlignLeft);
            } else {
                grid_->addWidget(check, row_, kLabel, 1, kColumns, Qt::AlignLeft);
            }
            ++row_;
            break;
        }
        case RowKind::Buttons: {
            auto* holder = new QWidget(owner_);
            auto* layout = new QHBoxLayout(holder);
            layout->setContentsMargins(0, 0, 0, 0);
            for (model::Control* b : row.controls)
                layout->addWidget(button(*b, holder));
            layout->addStretch();
            grid_->addWidget(holder, row_++, kBox, 1, kColumns - kBox, Qt::AlignLeft);
            break;
        }
        case RowKind::Compute:
            grid_->addWidget(button(*row.controls.at(0)), row_++, kBox, Qt::AlignLeft);
            grid_->setRowMinimumHeight(row_++, 6);
            break;
        case RowKind::Confirm:
            grid_->setRowStretch(row_, 1);
            grid_->setRowMinimumHeight(row_++, 4);
            grid_->addWidget(button(*row.controls.at(0)), row_++, kBox, 1, 2, Qt::AlignRight);
            break;
        case RowKind::Note: {
            auto* warning = text(u8(row.label.c_str()), owner_);
            QFont bold = warning->font();
            bold.setBold(true);
            warning->setFont(bold);
            QPalette palette = warning->palette();
            palette.setColor(QPalette::WindowText, QColor(0xa0, 0x10, 0x10));
            warning->setPalette(palette);
            grid_->addWidget(warning, row_++, kLabel, 1, kColumns, Qt::AlignLeft);
            break;
        }
        case RowKind::Panel:
            panel_ = makePanel(static_cast<model::Container&>(*row.controls.at(0)));
            panelRow_ = row_;
            break;
        case RowKind::Stack:
            grid_->addWidget(makeStack(row.controls), row_, kLabel, 1, kColumns);
            grid_->setRowStretch(row_++, 1);
            break;
        case RowKind::Gap:
            grid_->setRowMinimumHeight(row_++, 10);
            break;
        }
    }

    void label(const model::Row& row)
    {
        if (row.label.empty())
            return;
        const bool multiLine = !row.controls.empty() && row.kind == model::RowKind::Field &&
                               static_cast<model::TextBox*>(row.controls[0])->multiLine();
        grid_->addWidget(text(u8(row.label.c_str()), owner_), row_, kLabel,
                         multiLine ? Qt::AlignTop : Qt::Alignment());
    }
    void unit(const model::Row& row)
    {
        if (!row.unit.empty())
            grid_->addWidget(text(u8(row.unit.c_str()), owner_), row_, kUnit);
    }
    int width(model::Width w) const { return w == model::Width::Narrow ? boxWidth_ * 3 / 4 : boxWidth_; }

    QWidget* editFor(model::TextBox& box, model::Width w)
    {
        if (box.multiLine()) {
            auto* edit = binder_.bind(box, new QPlainTextEdit(owner_));
            edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            edit->setTabChangesFocus(true);
            grid_->setRowStretch(row_, 1);
            return edit;
        }
        auto* edit = binder_.bind(box, new QLineEdit(owner_));
        if (w == model::Width::Wide)
            edit->setMinimumWidth(wideMinimum_);
        else
            edit->setFixedWidth(width(w));
        return edit;
    }
    QWidget* radio(model::Control& option, QWidget* parent = nullptr)
    {
        return binder_.bind(static_cast<model::OptionButton&>(option), new QRadioButton(parent ? parent : owner_));
    }
    QWidget* button(model::Control& b, QWidget* parent = nullptr)
    {
        auto* button = binder_.bind(static_cast<model::Button&>(b), new QPushButton(parent ? parent : owner_));
        // As wide as its caption needs, not the style's wide minimum: the
        // window fits a small screen.
        const int caption = button->fontMetrics().horizontalAdvance(button->text().remove(QLatin1Char('&')));
        button->setMinimumWidth(std::min(button->sizeHint().width(), caption + 28));
        button->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
        button->setMaximumWidth(std::max(button->minimumWidth(), caption + 28));
        return button;
    }

    QWidget* owner_;
    Binder& binder_;
    int boxWidth_;
    QGridLayout* grid_;
    int row_ = 0;
    int wideMinimum_ = 0;
    QWidget* panel_ = nullptr;
    int panelRow_ = 0;
};

} // namespace

// ---------------------------------------------------------------------------

CalcWindow::CalcWindow(model::Application& app, QWidget* parent)
    : QMainWindow(parent), app_(app), calc_(app.calc()), binder_(new Binder(app, this))
{
    setWindowTitle(u8(kCaption));
    // A box holds a number up to 999 999.99 without scrolling.
    boxWidth_ = fontMetrics().horizontalAdvance(QStringLiteral("000 000.00")) + 16;

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("SSTab1"));
    setCentralWidget(tabs_);
    tabs_->addTab(buildProjectTab(), u8("Základní informace"));
    tabs_->addTab(buildCalculationTab(), u8("Výpočet"));
    tabs_->addTab(buildDescriptionTab(), u8("Popis technologie"));
    tabs_->addTab(buildResultsTab(), u8("Výsledky"));

    // Tabs: the user's choice goes to the model, which may switch back.
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        binder_->act([this, index] { calc_.selectTab(index); });
        mirrorTab();
    });
    projectMenu_ = new ProjectMenu(app_, *this, *binder_);
    setAcceptDrops(true);
    binder_->bindWindow(calc_, this, false);
    calc_.observe([self = QPointer<CalcWindow>(this)] {
        if (self)
            self->mirrorTab();
    });
    mirrorTab();

    // The guide's turned captions are Veer controls hosted through the library's
    // class factory; without the library the guide shows without them.
    veerHost_ = std::make_unique<VeerHost>();
    veerHost_->createCaptions({guide_->captionHost(0), guide_->captionHost(1), guide_->captionHost(2)});

    // The keyboard starts in the project's name, where the user starts.
    if (QWidget* first = widgetFor(calc_.box("txtProjName")))
        first->setFocus(Qt::ActiveWindowFocusReason);

    // F1: the description of the selected technology, wherever the user is.
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, [this] { binder_->act([this] { calc_.selectTab(2); }); });

    // The clock ticks also while a message box is open.
    clock_ = new QTimer(this);
    connect(clock_, &QTimer::timeout, this, [this] { app_.userAction([this] { calc_.clockTick(); }); });
    clock_->start(1000);

    // As large as the content wants, with room for the verdict that shows once
    // a technology is chosen, but within the screen.
    QSize size = sizeHint();
    if (auto* verdict = findChild<QWidget*>(QStringLiteral("verdict")); verdict && verdict->isHidden())
        size.rheight() += verdict->sizeHint().height();
    size = size.expandedTo(QSize(1100, 660));
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(16, 48));
    resize(size);
}

CalcWindow::~CalcWindow() { app_.setReportView(nullptr); }

void CalcWindow::saveShownReport() { resultsView_->askAndSave(); }
void CalcWindow::previewShownReport() { resultsView_->printPreview(); }

QWidget* CalcWindow::widgetFor(const model::Control& control) const { return binder_->widget(control); }

void CalcWindow::mirrorTab()
{
    if (tabs_->currentIndex() != calc_.tab()) {
        const QSignalBlocker block(tabs_);
        tabs_->setCurrentIndex(calc_.tab());
    }
    mirrorPages();
}

void CalcWindow::mirrorPages()
{
    // A page is loaded again on every visit of its tab: the report is rewritten.
    if (shownRevision_ == calc_.pageRevision())
        return;
    shownRevision_ = calc_.pageRevision();
    if (calc_.descriptionPage().empty())
        descriptionView_->hidePage();
    else
        descriptionView_->showPage(QString::fromStdString(calc_.descriptionPage()));
    if (calc_.resultsPage().empty()) {
        resultsView_->hideReport();
        diagrams_->setDiagrams({});
        diagrams_->hide();
    } else {
        resultsView_->showReport(QString::fromStdString(calc_.resultsPage()));
        // The diagrams the report was written with, so the window and the
        // report's pictures never disagree.
        diagrams_->setDiagrams(app_.reportDiagrams());
        diagrams_->show();
    }
}

// The first local file of a drop, when it is a project.
static QString droppedProject(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && url.toLocalFile().endsWith(QStringLiteral(".infil"), Qt::CaseInsensitive))
            return url.toLocalFile();
    return {};
}

void CalcWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedProject(event->mimeData()).isEmpty() && calc_.enabled())
        event->acceptProposedAction();
}

void CalcWindow::dropEvent(QDropEvent* event)
{
    const QString file = droppedProject(event->mimeData());
    if (file.isEmpty() || !calc_.enabled())
        return;
    event->acceptProposedAction();
    // Opened once the drop is over: the questions it may ask are modal.
    QTimer::singleShot(0, this, [this, file] { projectMenu_->openFile(file); });
}

void CalcWindow::closeEvent(QCloseEvent* event)
{
    // Unsaved changes are saved, dropped or kept by the user's answer; then the
    // window gives its hosted controls back and the program unloads the model.
    if (!projectMenu_->confirmClose()) {
        event->ignore();
        return;
    }
    veerHost_->release();
    event->accept();
    Q_EMIT closed();
}

// ---------------------------------------------------------------------------
// Tab 0: the project

QWidget* CalcWindow::buildProjectTab()
{
    auto& c = calc_;
    auto* page = new QWidget;
    auto* columns = new QHBoxLayout(page);
    columns->setContentsMargins(12, 12, 12, 12);
    columns->setSpacing(24);

    auto* project = new QWidget(page);
    RowGrid rows(project, *binder_, boxWidth_);
    rows.grid()->setContentsMargins(0, 0, 0, 0);
    rows.grid()->setVerticalSpacing(6);
    rows.setWideMinimum(420);
    rows.build(c.rows(nullptr));
    rows.grid()->setColumnStretch(RowGrid::kBox, 1);
    columns->addWidget(project, 3);

    // The program's own side: clock, logo, credits and the two links.
    auto* about = new QWidget(page);
    auto* side = new QVBoxLayout(about);
    side->setContentsMargins(0, 0, 0, 0);
    side->setSpacing(6);
    auto* clock = binder_->bind(*c.lblTime, new QLabel(about));
    QFont clockFont = clock->font();
    clockFont.setPointSizeF(clockFont.pointSizeF() * 1.4);
    clockFont.setBold(true);
    clock->setFont(clockFont);
    clock->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    side->addWidget(clock);
    auto* logo = new Logo(about);
    logo->setFixedSize(128, 128);
    side->addWidget(logo, 0, Qt::AlignHCenter);
    for (const char* credit : kCredits) {
        auto* label = text(u8(credit), about);
        label->setAlignment(Qt::AlignHCenter);
        label->setWordWrap(true);
        if (credit == kCredits[0]) { // the project's name
            QFont title = label->font();
            title.setBold(true);
            title.setPointSizeF(title.pointSizeF() * 1.3);
            label->setFont(title);
        }
        side->addWidget(label);
    }
    side->addStretch();
    side->addWidget(text(u8("Tento program vznikl ve spolupráci s: "), about));
    for (int k = 0; k <= 1; ++k)
        side->addWidget(binder_->bindLink(c.control<model::Label>("lblOdkaz", k), new QLabel(about)));
    columns->addWidget(about, 2);
    return page;
}

// ---------------------------------------------------------------------------
// Tab 1: the calculation

QWidget* CalcWindow::buildCalculationTab()
{
    auto* page = new QWidget;
    auto* columns = new QHBoxLayout(page);
    columns->setContentsMargins(8, 8, 8, 8);
    columns->setSpacing(10);

    auto* left = new QVBoxLayout;
    left->setSpacing(10);
    left->addWidget(buildSharedInputs(page));
    guide_ = new SelectionGuide(page);
    guide_->setObjectName(QStringLiteral("picGuide"));
    left->addWidget(guide_, 1);
    columns->addLayout(left, 1);

    columns->addWidget(buildTechnologyChoice(page), 1);
    return page;
}

QWidget* CalcWindow::buildSharedInputs(QWidget* parent)
{
    auto* frame = new QGroupBox(u8("Vstupní infromace"), parent);
    binder_->bind(*calc_.Frame1, frame);
    RowGrid rows(frame, *binder_, boxWidth_);
    rows.build(calc_.rows(calc_.Frame1));
    rows.grid()->setColumnStretch(RowGrid::kLabel, 1);
    return frame;
}

QWidget* CalcWindow::buildTechnologyChoice(QWidget* parent)
{
    auto* frame = new QGroupBox(u8("Výběr typu infilování"), parent);
    binder_->bind(*calc_.Frame2, frame);
    auto* layout = new QVBoxLayout(frame);
    auto* choice = new QWidget(frame);
    RowGrid rows(choice, *binder_, boxWidth_);
    rows.grid()->setContentsMargins(0, 0, 0, 0);
    rows.grid()->setVerticalSpacing(4);
    rows.makeStack = [this, choice](const std::vector<model::Control*>& panes) { return buildPaneArea(panes, choice); };
    rows.build(calc_.rows(calc_.Frame2));
    // The options and the list keep their own width; the panes take the rest.
    rows.grid()->setColumnStretch(RowGrid::kButton, 1);
    layout->addWidget(choice, 1);
    // Outside the grid, so that its wrapped lines get their height.
    layout->addWidget(buildVerdict(frame));
    return frame;
}

// The plausibility verdict beside the results: what the design fails, what it
// exceeds, and what is worth knowing, or that it keeps every limit checked.
QWidget* CalcWindow::buildVerdict(QWidget* parent)
{
    auto* group = new QGroupBox(u8("Posouzení návrhu"), parent);
    group->setObjectName(QStringLiteral("verdict"));
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(6, 4, 6, 4);
    auto* list = new WrappingLabel(group);
    list->setObjectName(QStringLiteral("verdictText"));
    list->setTextFormat(Qt::RichText);
    list->setWordWrap(true);
    list->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    list->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(list);
    auto mirror = [this, group = QPointer<QGroupBox>(group), list = QPointer<WrappingLabel>(list)](
                      const std::vector<verdict::Item>& items) {
        if (!group || !list)
            return;
        group->setVisible(calc_.state().TechIndex > 0);
        list->setWrappedText(verdictHtml(items));
    };
    calc_.observeVerdict(mirror);
    mirror(calc_.verdict());
    return group;
}

// The technology panes share one place; the model shows one at a time.
QWidget* CalcWindow::buildPaneArea(const std::vector<model::Control*>& models, QWidget* parent)
{
    auto* place = new QWidget(parent);
    place->setObjectName(QStringLiteral("paneArea"));
    auto* stack = new QGridLayout(place);
    stack->setContentsMargins(0, 4, 0, 0);
    std::vector<QWidget*> panes;
    for (model::Control* model : models) {
        QWidget* pane = buildPane(static_cast<model::Container&>(*model), place);
        stack->addWidget(pane, 0, 0, Qt::AlignTop | Qt::AlignLeft);
        panes.push_back(pane);
    }
    // Boxes line up across the panes.
    int labels = 0;
    for (QWidget* pane : panes) {
        auto* grid = static_cast<QGridLayout*>(pane->layout());
        for (int r = 0; r < grid->rowCount(); ++r)
            if (auto* item = grid->itemAtPosition(r, RowGrid::kLabel); item && qobject_cast<QLabel*>(item->widget()))
                labels = std::max(labels, item->widget()->sizeHint().width());
    }
    QSize largest;
    for (QWidget* pane : panes) {
        auto* grid = static_cast<QGridLayout*>(pane->layout());
        grid->setColumnMinimumWidth(RowGrid::kLabel, labels);
        grid->setColumnMinimumWidth(RowGrid::kBox, boxWidth_);
        largest = largest.expandedTo(pane->sizeHint());
    }
    // As wide as the widest pane, so that nothing moves sideways when the
    // technology changes; as high as the pane shown, which scrolls only when
    // the window is lower than it.
    place->setMinimumWidth(largest.width());
    // On a small screen the pane scrolls instead of pushing the window off it;
    // where the screen has room, the window opens large enough for every pane.
    auto* scroll = new PaneScroll(largest + QSize(0, stack->contentsMargins().top()), parent);
    scroll->setObjectName(QStringLiteral("paneScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->setWidget(place);
    scroll->viewport()->setAutoFillBackground(false);
    place->setAutoFillBackground(false);
    return scroll;
}

QWidget* CalcWindow::buildPane(model::Container& model, QWidget* parent)
{
    auto* pane = new QWidget(parent);
    binder_->bind(model, pane);
    RowGrid rows(pane, *binder_, boxWidth_);
    rows.grid()->setContentsMargins(0, 6, 0, 0);
    rows.makePanel = [this, pane](model::Container& panel) { return buildPanel(panel, pane); };
    rows.build(calc_.rows(&model));
    rows.grid()->setRowStretch(rows.next(), 1);
    rows.grid()->setColumnStretch(RowGrid::kButton, 1);
    return pane;
}

// The overflow / drainage panel opens over the lower part of its pane, below its
// check box, covering the compute button and the results while it is open.
QWidget* CalcWindow::buildPanel(model::Container& model, QWidget* pane)
{
    auto* panel = new QFrame(pane);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Base)); // the window background colour
    panel->setPalette(palette);
    binder_->bind(model, panel);
    RowGrid rows(panel, *binder_, boxWidth_);
    rows.grid()->setContentsMargins(10, 8, 10, 8);
    rows.build(calc_.rows(&model));
    return panel;
}

// ---------------------------------------------------------------------------
// Tabs 2 and 3: places for the description and results views

QWidget* CalcWindow::buildDescriptionTab()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 8, 8, 8);
    descriptionArea_ = new QFrame(page);
    descriptionArea_->setObjectName(QStringLiteral("descriptionArea"));
    static_cast<QFrame*>(descriptionArea_)->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto* inner = new QVBoxLayout(descriptionArea_);
    inner->setContentsMargins(0, 0, 0, 0);
    descriptionView_ = new DescriptionView(descriptionArea_);
    inner->addWidget(descriptionView_);
    layout->addWidget(descriptionArea_, 1);
    return page;
}

QWidget* CalcWindow::buildResultsTab()
{
    auto& c = calc_;
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 8, 8, 8);
    resultsArea_ = new QFrame(page);
    resultsArea_->setObjectName(QStringLiteral("resultsArea"));
    static_cast<QFrame*>(resultsArea_)->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto* inner = new QVBoxLayout(resultsArea_);
    inner->setContentsMargins(0, 0, 0, 0);
    resultsView_ = new ResultsView(resultsArea_);
    resultsView_->setMessagePort(&app_.messages());
    inner->addWidget(resultsView_);
    // The diagrams beside the report: the page is narrow, the screen wide.
    auto* split = new QSplitter(Qt::Horizontal, page);
    split->setChildrenCollapsible(false);
    split->addWidget(resultsArea_);
    diagrams_ = new DiagramsPanel(split);
    diagrams_->hide();
    split->addWidget(diagrams_);
    split->setStretchFactor(0, 11);
    split->setStretchFactor(1, 9);
    layout->addWidget(split, 1);
    app_.setReportView(this);
    auto* buttons = new QHBoxLayout;
    // Where the report was saved last, so the user sees it went where meant.
    auto* saved = new QLabel(page);
    saved->setObjectName(QStringLiteral("saveStatus"));
    saved->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(resultsView_, &ResultsView::saved, saved, [saved](const QString& fileName) {
        saved->setText(u8("Protokol byl uložen do souboru %1").arg(QDir::toNativeSeparators(fileName)));
    });
    buttons->addWidget(saved, 1);
    buttons->addWidget(binder_->bind(*c.cmdSaveResults, new QPushButton(page)));
    buttons->addWidget(binder_->bind(*c.cmdPrint, new QPushButton(page)));
    layout->addLayout(buttons);
    return page;
}

} // namespace infil::ui
