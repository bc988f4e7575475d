// The model's headers come before Qt's: Qt defines `slots` as a macro.
#include "model/Application.h"
#include "model/CalcForm.h"

#include "CalcWindow.h"

#include "Binding.h"
#include "Logo.h"
#include "SelectionGuide.h"
#include "VeerHost.h"

#include "ResultViews.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace infil::ui {
namespace {

const char* const kCaption = "INFIL - Výpočet infilovacích zařízení";

// Units and symbols; those with markup are shown as rich text.
const char* const kM = "m";
const char* const kM2 = "m<sup>2</sup>";
const char* const kM3 = "m<sup>3</sup>";
const char* const kHours = "h";
const char* const kMetresPerSecond = "m/s";

// The credits of the first tab: our own project, naming no one else.
const char* const kCredits[] = {
    "Projekt Infil",
    "Výpočetní pomůcka pro návrh infilovacích zařízení srážkových vod",
    "Vyvíjí a udržuje tým projektu Infil",
};

QString u8(const char* text) { return QString::fromUtf8(text); }

QLabel* text(const QString& content, QWidget* parent)
{
    auto* label = new QLabel(content, parent);
    label->setTextFormat(content.contains(QLatin1Char('<')) ? Qt::RichText : Qt::PlainText);
    return label;
}

// Rows of "label | box | unit" (and more columns where a frame has them), top
// to bottom, as the window's frames, panes and panels lay them out.
class Rows {
public:
    explicit Rows(QWidget* owner) : owner_(owner), grid_(new QGridLayout(owner))
    {
        grid_->setContentsMargins(6, 6, 6, 6);
        grid_->setHorizontalSpacing(8);
        grid_->setVerticalSpacing(3);
    }

    QGridLayout* grid() const { return grid_; }
    QWidget* owner() const { return owner_; }
    int next() const { return row_; }

    // label | field | unit; an empty label or unit leaves its cell empty.
    void add(const char* label, QWidget* field, const char* unit = nullptr)
    {
        if (label && *label)
            grid_->addWidget(text(u8(label), owner_), row_, 0);
        if (field)
            grid_->addWidget(field, row_, 1, Qt::AlignLeft);
        if (unit && *unit)
            grid_->addWidget(text(u8(unit), owner_), row_, 2);
        ++row_;
    }
    // label | a field wider than a box (it may reach past the unit column).
    void wide(const char* label, QWidget* field)
    {
        if (label && *label)
            grid_->addWidget(text(u8(label), owner_), row_, 0);
        grid_->addWidget(field, row_++, 1, 1, 3, Qt::AlignLeft);
    }
    // A widget across the columns from `column` on.
    void span(QWidget* widget, int column = 0, int columns = 4)
    {
        grid_->addWidget(widget, row_++, column, 1, columns, Qt::AlignLeft);
    }
    // A label with option buttons beside it, one row each.
    void options(const char* label, std::initializer_list<QWidget*> buttons)
    {
        if (label && *label)
            grid_->addWidget(text(u8(label), owner_), row_, 0);
        for (QWidget* button : buttons)
            grid_->addWidget(button, row_++, 1, 1, 3, Qt::AlignLeft);
    }
    void gap(int height)
    {
        grid_->setRowMinimumHeight(row_++, height);
    }

private:
    QWidget* owner_;
    QGridLayout* grid_;
    int row_ = 0;
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

} // namespace

// ---------------------------------------------------------------------------

CalcWindow::CalcWindow(model::Application& app, QWidget* parent)
    : QMainWindow(parent), app_(app), calc_(app.calc()), binder_(new Binder(app, this))
{
    setWindowTitle(u8(kCaption));
    boxWidth_ = fontMetrics().horizontalAdvance(QStringLiteral("0 000 000.00")) + 16;

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

    // The clock ticks also while a message box is open.
    clock_ = new QTimer(this);
    connect(clock_, &QTimer::timeout, this, [this] { app_.userAction([this] { calc_.clockTick(); }); });
    clock_->start(1000);

    // As large as the content wants, but within the screen.
    QSize size = sizeHint().expandedTo(QSize(1100, 660));
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(16, 48));
    resize(size);
}

CalcWindow::~CalcWindow() = default;

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
    if (calc_.resultsPage().empty())
        resultsView_->hideReport();
    else
        resultsView_->showReport(QString::fromStdString(calc_.resultsPage()));
}

void CalcWindow::closeEvent(QCloseEvent* event)
{
    // Closing is never refused; the window gives its hosted controls back and the
    // program then unloads the window's model.
    veerHost_->release();
    event->accept();
    emit closed();
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
    auto* grid = new QGridLayout(project);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(6);
    const std::pair<const char*, model::TextBox*> boxes[] = {
        {"Název projektu:", c.txtProjName},
        {"Řešitel projektu:", c.txtProjektant},
        {"Investor:", c.txtInvestor},
        {"Místo akce:", c.txtMistoAkce},
    };
    int row = 0;
    for (auto [label, box] : boxes) {
        grid->addWidget(text(u8(label), project), row, 0);
        auto* edit = binder_->bind(*box, new QLineEdit(project));
        edit->setMinimumWidth(420);
        grid->addWidget(edit, row++, 1);
    }
    grid->addWidget(text(u8("Detilní popis:"), project), row, 0, Qt::AlignTop);
    auto* details = binder_->bind(*c.txtDetails, new QPlainTextEdit(project));
    details->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    details->setTabChangesFocus(true);
    grid->addWidget(details, row, 1);
    grid->setRowStretch(row, 1);
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
        side->addWidget(binder_->bindLink(*c.lblOdkaz.at(k), new QLabel(about)));
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
    auto& c = calc_;
    auto* frame = new QGroupBox(u8("Vstupní infromace"), parent);
    binder_->bind(*c.Frame1, frame);
    auto* grid = new QGridLayout(frame);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(3);

    struct Row {
        const char* label;
        const char* symbol;
        model::TextBox* box;
        const char* unit;
        model::Button* button;
    };
    const Row rows[] = {
        {"Intenzita trvání deště", "<i>i</i> (t,p)", c.txtSelIntDeste, "l/(s.ha)", c.cmdEdit.at(0)},
        {"Doba trvání deště", "<i>t</i><sub>d</sub>", c.txtSelDTrvDeste, "min", nullptr},
        {"Celková odvodňovaná plocha", nullptr, c.txtOdvodNepPlocha, kM2, c.cmdEdit.at(1)},
        {"Odtok do infilovacího zařízení", nullptr, c.txtOdtokDoInfil, "l/s", nullptr},
        {nullptr, nullptr, nullptr, nullptr, nullptr}, // a gap before the soil rows
        {"Součinitel filtrace (kf) podloží", nullptr, c.txtSoucFiltrace, kMetresPerSecond, c.cmdEdit.at(2)},
        {"Typ nesoudržné horniny", nullptr, c.txtTypPudyPodlozi, nullptr, nullptr},
        {"Hladina podzemní vody (pod povrchem)", nullptr, c.txtHPV, kM, nullptr},
    };
    int row = 0;
    for (const Row& r : rows) {
        if (!r.box) {
            grid->setRowMinimumHeight(row++, 10);
            continue;
        }
        grid->addWidget(text(u8(r.label), frame), row, 0);
        if (r.symbol)
            grid->addWidget(text(u8(r.symbol), frame), row, 1);
        auto* edit = binder_->bind(*r.box, new QLineEdit(frame));
        if (r.box == c.txtTypPudyPodlozi) {
            grid->addWidget(edit, row, 2, 1, 3); // the wide box
        } else {
            edit->setFixedWidth(boxWidth_);
            grid->addWidget(edit, row, 2);
        }
        if (r.unit)
            grid->addWidget(text(u8(r.unit), frame), row, 3);
        if (r.button)
            grid->addWidget(binder_->bind(*r.button, new QPushButton(frame)), row, 4);
        ++row;
    }
    grid->setColumnStretch(0, 1);
    return frame;
}

QWidget* CalcWindow::buildTechnologyChoice(QWidget* parent)
{
    auto& c = calc_;
    auto* frame = new QGroupBox(u8("Výběr typu infilování"), parent);
    binder_->bind(*c.Frame2, frame);
    auto* layout = new QVBoxLayout(frame);
    layout->setSpacing(4);

    auto* modes = new QHBoxLayout;
    modes->setSpacing(16);
    for (int k = 0; k <= 1; ++k)
        modes->addWidget(binder_->bind(*c.optSelType.at(k), new QRadioButton(frame)));
    modes->addStretch();
    layout->addLayout(modes);
    auto* list = binder_->bind(*c.cboSelType, new QComboBox(frame));
    list->setMinimumWidth(boxWidth_ * 3);
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    layout->addWidget(list, 0, Qt::AlignLeft);

    // The six panes share one place; the model shows one at a time.
    auto* place = new QWidget(frame);
    place->setObjectName(QStringLiteral("paneArea"));
    auto* stack = new QGridLayout(place);
    stack->setContentsMargins(0, 4, 0, 0);
    std::vector<QWidget*> panes;
    for (int k = 1; k <= 6; ++k) {
        QWidget* pane = buildPane(k, place);
        stack->addWidget(pane, 0, 0, Qt::AlignTop | Qt::AlignLeft);
        panes.push_back(pane);
    }
    // Boxes line up across the panes, and the place is as large as the largest
    // pane, so that nothing moves when the technology changes.
    int labels = 0;
    for (QWidget* pane : panes) {
        auto* grid = static_cast<QGridLayout*>(pane->layout());
        for (int r = 0; r < grid->rowCount(); ++r)
            if (auto* item = grid->itemAtPosition(r, 0); item && qobject_cast<QLabel*>(item->widget()))
                labels = std::max(labels, item->widget()->sizeHint().width());
    }
    QSize largest;
    for (QWidget* pane : panes) {
        auto* grid = static_cast<QGridLayout*>(pane->layout());
        grid->setColumnMinimumWidth(0, labels);
        grid->setColumnMinimumWidth(1, boxWidth_);
        largest = largest.expandedTo(pane->sizeHint());
    }
    place->setMinimumSize(largest);
    layout->addWidget(place, 1);
    return frame;
}

QWidget* CalcWindow::buildPane(int k, QWidget* parent)
{
    auto& c = calc_;
    auto* pane = new QWidget(parent);
    binder_->bind(*c.picResults.at(k), pane);
    Rows rows(pane);
    rows.grid()->setContentsMargins(0, 6, 0, 0);

    auto box = [&](model::TextBox* model, int width = 0) {
        auto* edit = binder_->bind(*model, new QLineEdit(pane));
        edit->setFixedWidth(width > 0 ? width : boxWidth_);
        return edit;
    };
    auto option = [&](model::OptionButton* model) { return binder_->bind(*model, new QRadioButton(pane)); };
    auto button = [&](model::Button* model) { return binder_->bind(*model, new QPushButton(pane)); };
    // The compute button, set off a little from the results below it.
    auto compute = [&] {
        rows.add(nullptr, button(c.cmdCalcul.at(k)));
        rows.gap(6);
    };
    // A box with its up-down arrows, together as wide as a box.
    auto counted = [&](model::TextBox* model, model::UpDown* updown) {
        auto* arrows = binder_->bind(*updown, new UpDownButtons(pane));
        return inRow(pane, {box(model, boxWidth_ - arrows->sizeHint().width() - 2), arrows}, 2);
    };
    int panelRow = -1;

    switch (k) {
    case 1:
        rows.add("Plocha potřebná pro infilování", box(c.txtInfilPlocha.at(1)), kM2);
        // The array's first two buttons are never shown.
        rows.wide(nullptr, inRow(pane, {button(c.cmdCalcul.at(0)), button(c.cmdCalcul.at(1))}));
        break;
    case 2:
        rows.options("Typ půdy", {option(c.optSelTypPudy2.at(0)), option(c.optSelTypPudy2.at(1))});
        rows.add("Součinitel bezpečnosti", box(c.txtSoucBezp.at(2)));
        compute(); // stays hidden: the swale computes at once
        rows.add("Plocha potřebná pro infilování", box(c.txtInfilPlocha.at(2)), kM2);
        rows.add("Objem akumulace průlehu", box(c.txtObjAkum.at(2)), kM3);
        rows.add("Výška vzdutí", box(c.txtVyskaVzduti.at(2)), kM);
        rows.add("Doba prázdnění průlehu", box(c.txtDobaPrazdneni.at(2)), kHours);
        break;
    case 3:
    case 4:
        if (k == 3) {
            rows.options("Typ půdy:", {option(c.optSelTypPudy3.at(0)), option(c.optSelTypPudy3.at(1))});
            rows.add("Součinitel filtrace (kf) průlehu", box(c.txtSoucFiltrPruleh.at(3)), kMetresPerSecond);
        }
        rows.add("Součinitel bezpečnosti", box(c.txtSoucBezp.at(k)));
        rows.add("Pórovitost výplně rýhy", box(c.txtPorVyplne.at(k)));
        rows.add("Šířka rýhy (střední)", box(c.txtSirkaRyhy.at(k)), kM);
        rows.add("Výška rýhy", box(c.txtVyskaRyhy.at(k)), kM);
        rows.grid()->addWidget(binder_->bind(*c.chkSelPretok.at(k), new QCheckBox(pane)), rows.next(), 0);
        rows.add(nullptr, button(c.cmdEdit.at(k)));
        panelRow = rows.next();
        compute();
        rows.add("Plocha potřebná pro infilování", box(c.txtInfilPlocha.at(k)), kM2);
        rows.add("Objem akumulace průlehu", box(c.txtObjAkum.at(k)), kM3);
        rows.add("Délka infilovací rýhy", box(c.txtDelkaRyhy.at(k)), kM);
        if (k == 3) {
            rows.add("Šířka průlehu", box(c.txtSirkaPrulehu), kM);
            rows.add("Hloubka průlehu (výška vzdutí)", box(c.txtHloubkaPrulehu), kM);
            rows.add("Doba prázdnění průlehu", box(c.txtDobaPrazdneni.at(3)), kHours);
        }
        break;
    case 5: {
        rows.wide("Typ šachty:", inRow(pane, {option(c.optSelTypPudy5.at(0)), option(c.optSelTypPudy5.at(1))}, 16));
        rows.wide(nullptr, inRow(pane, {option(c.optSelTypSachty.at(0)), option(c.optSelTypSachty.at(1))}, 16));
        auto* products = binder_->bind(*c.cboTypSachty, new QComboBox(pane));
        products->setMinimumWidth(boxWidth_ * 2);
        products->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        rows.wide(nullptr, products);
        rows.add("Počet šachet:", counted(c.txtSachtyCount, c.updSacht));
        // The three dimensions side by side, each captioned above its box.
        auto* dimensions = new QWidget(pane);
        auto* grid = new QGridLayout(dimensions);
        grid->setContentsMargins(0, 0, 0, 0);
        grid->setHorizontalSpacing(6);
        grid->setVerticalSpacing(1);
        const std::pair<const char*, model::TextBox*> sizes[] = {
            {"DN / Šířka", c.txtPrumerSachtyVnit},
            {"Délka", c.txtPrumerSachtyVnej},
            {"Tloušťka", c.txtTloustkaSteny},
        };
        int column = 0;
        const int narrow = boxWidth_ * 3 / 4;
        for (auto [caption, model] : sizes) {
            grid->addWidget(text(u8(caption), dimensions), 0, column);
            auto* edit = binder_->bind(*model, new QLineEdit(dimensions));
            edit->setFixedWidth(narrow);
            grid->addWidget(edit, 1, column++);
        }
        grid->addWidget(text(u8(kM), dimensions), 1, column);
        grid->setColumnStretch(column + 1, 1);
        rows.span(dimensions);
        rows.add("Součinitel bezpečnosti", box(c.txtSoucBezp.at(1)));
        rows.add("Nezámrzná hloubka přitoku", box(c.txtNezamrzHlPritok), kM);
        rows.add("Výška filtrační vrstvy", box(c.txtVyskaFiltrVrstvy), kM);
        rows.add("Vrstva písku/jemného štěrku", box(c.txtVyskaPiskVrstvy), kM);
        rows.add("Minimální průsaková dráha", box(c.txtMinPrusakDraha), kM);
        compute();
        rows.add("Výška vzdutí", box(c.txtVyskaVzduti.at(5)), kM);
        rows.add("Potřebná hloubka šachty", box(c.txtHloubkaSachty), kM);
        rows.add("Min. hloubka hladiny podzemní vody", box(c.txtPotrHloubkaZahl), kM);
        rows.add("Infilovací plocha šachty", box(c.txtInfilPlocha.at(5)), kM2);
        rows.add("Objem akumulace šachty", box(c.txtObjAkum.at(5)), kM3);
        rows.add("Součinitel filtrace náplně filtru", box(c.txtSoucFiltrPruleh.at(5)), kMetresPerSecond);
        break;
    }
    case 6: {
        rows.add("Součinitel bezpečnosti", box(c.txtSoucBezp.at(5)));
        rows.add("Specifická infilovací intenzita", box(c.txtSpecInfilIntenz), "l/s.ha");
        rows.add("Délka dna nádrže", box(c.txtDelkaDnaNadrz), kM);
        rows.add("Šířka dna nádrže", box(c.txtSirkaDnaNadrz), kM);
        rows.add("Hloubka nádrže", box(c.txtHloubkaNadrz), kM);
        auto* prefix = text(QStringLiteral("1 : "), pane);
        const int slopeWidth = boxWidth_ - prefix->sizeHint().width() - 2;
        rows.add("Sklon svahů nádrže", inRow(pane, {prefix, box(c.txtSklonSvahuNadrz, slopeWidth)}, 2));
        rows.span(binder_->bind(*c.chkPredUsaz, new QCheckBox(pane)));
        compute();
        rows.add("Infilovací tok", box(c.txtInfilTok), "m<sup>3</sup>/s");
        rows.add("Potřebný objem akumulace nádrže", box(c.txtObjAkum.at(6)), kM3);
        rows.add("Objem dle rozměrů nádrže", box(c.txtVypObjNadrz), kM3);
        auto* warning = text(u8("Nutno ověřit dlouhodobou simulací!"), pane);
        QFont bold = warning->font();
        bold.setBold(true);
        warning->setFont(bold);
        QPalette palette = warning->palette();
        palette.setColor(QPalette::WindowText, QColor(0xa0, 0x10, 0x10));
        warning->setPalette(palette);
        rows.span(warning);
        break;
    }
    default:
        break;
    }

    const int last = rows.next();
    rows.grid()->setRowStretch(last, 1);
    rows.grid()->setColumnStretch(3, 1);
    if (panelRow >= 0) {
        // The panel opens over the lower part of the pane, below its check box,
        // covering the compute button and the results while it is open.
        QWidget* panel = buildPanel(k, pane);
        rows.grid()->addWidget(panel, panelRow, 0, last - panelRow, 3);
        panel->raise();
    }
    return pane;
}

QWidget* CalcWindow::buildPanel(int k, QWidget* pane)
{
    auto& c = calc_;
    auto* panel = new QFrame(pane);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Base)); // the window background colour
    panel->setPalette(palette);
    binder_->bind(*c.picPretokSkrOdtok.at(k), panel);

    Rows rows(panel);
    rows.grid()->setContentsMargins(10, 8, 10, 8);
    const int width = boxWidth_ * 3 / 4;
    auto box = [&](model::TextBox* model, int w = 0) {
        auto* edit = binder_->bind(*model, new QLineEdit(panel));
        edit->setFixedWidth(w > 0 ? w : width);
        return edit;
    };
    auto counted = [&] {
        auto* arrows = binder_->bind(*c.UpDownPipes.at(k), new UpDownButtons(panel));
        return inRow(panel, {box(c.txtPocetPotrubi.at(k), width - arrows->sizeHint().width() - 2), arrows}, 2);
    };
    rows.add("Vnitřní průměr infilovací trouby", box(c.txtPrumTroubVnit.at(k)), "mm");
    rows.add("Vnější průměr infilovací trouby", box(c.txtPrumTroubVnej.at(k)), "mm");
    if (k == 3) {
        rows.add("Škrcená odtoková intenzita", box(c.txtSpecDrenOdtok.at(3)), "l/(s.ha)");
        rows.add("Počet potrubí", counted());
    } else {
        rows.add("Počet potrubí", counted());
        rows.add("Výstupní plocha", box(c.txtVystupPlocha.at(4)), "cm<sup>2</sup>/m");
        rows.add("Výstupní rychlost", box(c.txtVystupRychlost.at(4)), kMetresPerSecond);
    }
    rows.grid()->setRowStretch(rows.next(), 1);
    rows.gap(4);
    auto* ok = binder_->bind(*c.cmdOK.at(k), new QPushButton(panel));
    rows.grid()->addWidget(ok, rows.next(), 1, 1, 2, Qt::AlignRight);
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
    layout->addWidget(resultsArea_, 1);
    app_.saveShownReport = [view = QPointer<ResultsView>(resultsView_)] {
        if (view)
            view->askAndSave();
    };
    app_.previewShownReport = [view = QPointer<ResultsView>(resultsView_)] {
        if (view)
            view->printPreview();
    };
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(binder_->bind(*c.cmdSaveResults, new QPushButton(page)));
    buttons->addWidget(binder_->bind(*c.cmdPrint, new QPushButton(page)));
    layout->addLayout(buttons);
    return page;
}

} // namespace infil::ui
