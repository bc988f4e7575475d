// The property pages: VeerPage, and the standard colour and font pages that
// edit ForeColor and Font. Each page is a reference-counted object with the
// property-page interface; its widget is a thin view of the page's model.

#include <Veer12/VeerDialogs.h>
#include <Veer12/VeerWidget.h>

#include "../core/Module.h"
#include "../core/PageModels.h"
#include "DialogUnits.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QUrl>
#include <QVBoxLayout>

#include <new>

namespace veer {

namespace {

using detail::ColorPageModel;
using detail::FontPageModel;
using detail::VeerPageModel;

QString qs(const std::u16string& s)
{
    return QString::fromStdU16String(s);
}

HelpOpener& helpOpener()
{
    static HelpOpener opener = [](const QString& file, std::uint32_t) {
        // A desktop viewer takes no context: the file opens at its start.
        return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
    };
    return opener;
}

// What every page shares: reference counting, the site, the view's lifetime.
template <class Model>
class PageBase : public detail::SimpleObject<IPropertyPage, IID_IPropertyPage> {
public:
    PageBase()
    {
        model_.onEdit = [this] {
            if (site_)
                site_->OnStatusChange(PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE);
        };
    }

    Status SetPageSite(IPropertyPageSite* site) override
    {
        site_ = site;
        return S_OK;
    }
    Status Activate(QWidget* parent, QWidget** view) override
    {
        if (view)
            *view = nullptr;
        if (view_)
            return E_UNEXPECTED;
        try {
            view_ = makeView(parent);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        if (view)
            *view = view_;
        return S_OK;
    }
    Status Deactivate() override
    {
        delete view_.data();
        return S_OK;
    }
    Status SetObjects(std::uint32_t count, IUnknown* const* objects) override
    {
        if (count && !objects)
            return E_POINTER;
        try {
            model_.setObjects(detail::controlsOf(count, objects));
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        mirror();
        return S_OK;
    }
    Status IsPageDirty() override { return model_.dirty() ? S_OK : S_FALSE; }
    Status Apply() override
    {
        model_.apply();
        if (site_)
            site_->OnStatusChange(PROPPAGESTATUS_CLEAN);
        return S_OK;
    }
    Status Help(const std::u16string&) override { return E_NOTIMPL; }

    Model& model() { return model_; }

protected:
    virtual ~PageBase() { delete view_.data(); }
    virtual QWidget* makeView(QWidget* parent) = 0;
    // Shows the model's values in the view, if there is one.
    virtual void mirror() = 0;

    Model model_;
    QPointer<QWidget> view_;
    ComPtr<IPropertyPageSite> site_;
};

// --- VeerPage ----------------------------------------------------------------

class VeerPageView : public QWidget {
public:
    VeerPageView(VeerPageModel& model, QWidget* parent) : QWidget(parent), model_(model)
    {
        setObjectName(QStringLiteral("VeerPage"));
        auto* values = new QGroupBox(QStringLiteral("&Values"), this);
        caption_ = new QPlainTextEdit(values);
        caption_->setObjectName(QStringLiteral("caption"));
        caption_->setLineWrapMode(QPlainTextEdit::NoWrap); // scrolls sideways, Enter breaks lines
        caption_->setTabChangesFocus(true);
        auto* valuesLayout = new QVBoxLayout(values);
        valuesLayout->addWidget(caption_);

        angle_ = new QSpinBox(this);
        angle_->setObjectName(QStringLiteral("angle"));
        angle_->setRange(VeerPageModel::kAngleMin, VeerPageModel::kAngleMax);
        angle_->setWrapping(true);
        alignment_ = new QComboBox(this);
        alignment_->setObjectName(QStringLiteral("alignment"));
        for (const std::u16string& name : VeerPageModel::kAlignmentNames)
            alignment_->addItem(qs(name));
        spacing_ = new QSpinBox(this);
        spacing_->setObjectName(QStringLiteral("spacing"));
        spacing_->setRange(VeerPageModel::kSpacingMin, VeerPageModel::kSpacingMax);
        spacing_->setWrapping(false);
        spacing_->setGroupSeparatorShown(false);
        spacing_->setAccelerated(true);
        for (QSpinBox* spin : {angle_, spacing_}) {
            spin->setLocale(QLocale::c()); // whole numbers without separators in any locale
            spin->setAlignment(Qt::AlignRight);
        }
        opaque_ = new QCheckBox(QStringLiteral("&Opaque"), this);
        opaque_->setObjectName(QStringLiteral("opaque"));

        auto* angleLabel = new QLabel(QStringLiteral("&Angle (degrees)"), this);
        angleLabel->setBuddy(angle_);
        auto* alignLabel = new QLabel(QStringLiteral("A&lign"), this);
        alignLabel->setBuddy(alignment_);
        auto* spacingLabel = new QLabel(QStringLiteral("&Spacing (twips)"), this);
        spacingLabel->setBuddy(spacing_);
        auto* inch = new QLabel(QStringLiteral("Note: 1 inch = 1440 twips"), this);
        // 1440 / 2.54 = 566.9
        auto* cm = new QLabel(QStringLiteral("1 cm = 567 twips"), this);
        inch->setAlignment(Qt::AlignRight);
        cm->setAlignment(Qt::AlignRight);

        const detail::DialogUnits du(font());
        auto* fields = new QGridLayout;
        fields->addWidget(angleLabel, 0, 0, Qt::AlignRight);
        fields->addWidget(angle_, 0, 1);
        fields->addWidget(alignLabel, 1, 0, Qt::AlignRight);
        fields->addWidget(alignment_, 1, 1);
        fields->addWidget(spacingLabel, 2, 0, Qt::AlignRight);
        fields->addWidget(spacing_, 2, 1);
        fields->addWidget(inch, 3, 0, 1, 2);
        fields->addWidget(cm, 4, 0, 1, 2);
        fields->setRowStretch(5, 1);
        fields->addWidget(opaque_, 6, 0, 1, 2, Qt::AlignRight);
        fields->setColumnMinimumWidth(1, du.x(70));

        auto* layout = new QHBoxLayout(this);
        layout->addWidget(values, 1);
        layout->addLayout(fields);
        setMinimumSize(du.size(265, 129));

        mirror();
        connect(caption_, &QPlainTextEdit::textChanged, this,
                [this] { model_.editCaption(caption_->toPlainText().toStdU16String()); });
        connect(angle_, &QSpinBox::textChanged, this, [this] { model_.editAngle(angle_->value()); });
        connect(alignment_, &QComboBox::currentIndexChanged, this, [this](int i) { model_.selectAlignment(i); });
        connect(spacing_, &QSpinBox::textChanged, this, [this] { model_.editSpacing(spacing_->value()); });
        connect(opaque_, &QCheckBox::clicked, this, [this](bool on) { model_.clickOpaque(on); });
    }

    void mirror()
    {
        const QSignalBlocker b1(caption_), b2(angle_), b3(alignment_), b4(spacing_), b5(opaque_);
        caption_->setPlainText(qs(model_.captionText()));
        angle_->setValue(model_.angle());
        alignment_->setCurrentIndex(model_.alignment());
        spacing_->setValue(model_.spacing());
        opaque_->setChecked(model_.opaque());
    }

private:
    VeerPageModel& model_;
    QPlainTextEdit* caption_;
    QSpinBox* angle_;
    QComboBox* alignment_;
    QSpinBox* spacing_;
    QCheckBox* opaque_;
};

class VeerPropertyPage final : public PageBase<VeerPageModel> {
public:
    Status GetPageInfo(PageInfo* info) override
    {
        if (!info)
            return E_POINTER;
        try {
            info->title = u"General";
            info->docString = u"Veer 1.2 Properties";
            info->helpFile = u"VEER12.HLP";
            info->helpContext = 90;
            info->width = 265;
            info->height = 129;
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }
    Status Help(const std::u16string& helpFolder) override
    {
        const QString file = qs(helpFolder) + QLatin1Char('/') + QStringLiteral("VEER12.HLP");
        if (!QFileInfo(file).isFile())
            return E_FAIL;
        return helpOpener() && helpOpener()(file, 90) ? S_OK : E_FAIL;
    }

protected:
    QWidget* makeView(QWidget* parent) override { return new VeerPageView(model_, parent); }
    void mirror() override
    {
        if (auto* v = static_cast<VeerPageView*>(view_.data()))
            v->mirror();
    }
};

// --- the standard colour page ------------------------------------------------

QIcon swatch(const QColor& color)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(color);
    QPainter p(&pixmap);
    p.setPen(Qt::black);
    p.drawRect(0, 0, 15, 11);
    return QIcon(pixmap);
}

class ColorPageView : public QWidget {
public:
    ColorPageView(ColorPageModel& model, QWidget* parent) : QWidget(parent), model_(model)
    {
        setObjectName(QStringLiteral("ColorPage"));
        auto* property = new QComboBox(this);
        property->addItem(QStringLiteral("ForeColor"));
        set_ = new QComboBox(this);
        set_->setObjectName(QStringLiteral("colorSet"));
        set_->addItems({QStringLiteral("Standard Colors"), QStringLiteral("System Colors")});
        list_ = new QListWidget(this);
        list_->setObjectName(QStringLiteral("colors"));
        preview_ = new QLabel(this);
        preview_->setFixedSize(48, 32);
        preview_->setFrameShape(QFrame::Box);
        preview_->setAutoFillBackground(true);
        auto* custom = new QPushButton(QStringLiteral("&Edit Custom Color..."), this);

        auto* propertyLabel = new QLabel(QStringLiteral("&Properties:"), this);
        propertyLabel->setBuddy(property);
        auto* setLabel = new QLabel(QStringLiteral("Color &Set:"), this);
        setLabel->setBuddy(set_);
        auto* left = new QVBoxLayout;
        left->addWidget(propertyLabel);
        left->addWidget(property);
        left->addWidget(setLabel);
        left->addWidget(set_);
        left->addStretch(1);
        left->addWidget(preview_);
        left->addWidget(custom);
        auto* layout = new QHBoxLayout(this);
        layout->addLayout(left);
        layout->addWidget(list_, 1);
        setMinimumSize(detail::DialogUnits(font()).size(250, 110));

        mirror();
        connect(set_, &QComboBox::currentIndexChanged, this, [this] { fillList(); });
        connect(list_, &QListWidget::itemClicked, this,
                [this](QListWidgetItem* item) { choose(item->data(Qt::UserRole).toUInt()); });
        connect(custom, &QPushButton::clicked, this, [this] {
            const QColor picked =
                QColorDialog::getColor(colorFromOle(model_.color(), palette()), this, QStringLiteral("Color"));
            if (picked.isValid())
                choose(oleFromColor(picked));
        });
    }

    void mirror()
    {
        const QSignalBlocker b(set_);
        set_->setCurrentIndex((model_.color() & 0xFF000000u) == 0x80000000u ? 1 : 0);
        fillList();
    }

private:
    void choose(OleColor color)
    {
        model_.choose(color);
        showPreview();
    }
    void fillList()
    {
        const auto& colors = set_->currentIndex() == 1 ? ColorPageModel::systemColors()
                                                       : ColorPageModel::standardColors();
        list_->clear();
        for (const auto& named : colors) {
            auto* item = new QListWidgetItem(swatch(colorFromOle(named.color, palette())),
                                             QString::fromUtf16(named.name), list_);
            item->setData(Qt::UserRole, named.color);
            if (named.color == model_.color())
                list_->setCurrentItem(item);
        }
        showPreview();
    }
    void showPreview()
    {
        QPalette pal = preview_->palette();
        pal.setColor(QPalette::Window, colorFromOle(model_.color(), palette()));
        preview_->setPalette(pal);
    }

    ColorPageModel& model_;
    QComboBox* set_;
    QListWidget* list_;
    QLabel* preview_;
};

class ColorPropertyPage final : public PageBase<ColorPageModel> {
public:
    Status GetPageInfo(PageInfo* info) override
    {
        if (!info)
            return E_POINTER;
        *info = PageInfo();
        info->title = u"Color";
        info->width = 250;
        info->height = 110;
        return S_OK;
    }

protected:
    QWidget* makeView(QWidget* parent) override { return new ColorPageView(model_, parent); }
    void mirror() override
    {
        if (auto* v = static_cast<ColorPageView*>(view_.data()))
            v->mirror();
    }
};

// --- the standard font page ----------------------------------------------------

class FontPageView : public QWidget {
public:
    FontPageView(FontPageModel& model, QWidget* parent) : QWidget(parent), model_(model)
    {
        setObjectName(QStringLiteral("FontPage"));
        auto* property = new QComboBox(this);
        property->addItem(QStringLiteral("Font"));
        name_ = new QComboBox(this);
        name_->setObjectName(QStringLiteral("fontName"));
        name_->setEditable(true);
        name_->addItems(QFontDatabase::families());
        style_ = new QComboBox(this);
        style_->setObjectName(QStringLiteral("fontStyle"));
        style_->addItems({QStringLiteral("Regular"), QStringLiteral("Italic"), QStringLiteral("Bold"),
                          QStringLiteral("Bold Italic")});
        size_ = new QComboBox(this);
        size_->setObjectName(QStringLiteral("fontSize"));
        size_->setEditable(true);
        for (int points : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
            size_->addItem(QString::number(points));
        strike_ = new QCheckBox(QStringLiteral("Stri&keout"), this);
        underline_ = new QCheckBox(QStringLiteral("&Underline"), this);
        sample_ = new QLabel(QStringLiteral("AaBbYyZz"), this);
        sample_->setAlignment(Qt::AlignCenter);
        sample_->setFrameShape(QFrame::StyledPanel);
        sample_->setMinimumHeight(48);

        auto* grid = new QGridLayout(this);
        auto label = [this](const char* text, QWidget* buddy) {
            auto* l = new QLabel(QString::fromLatin1(text), this);
            l->setBuddy(buddy);
            return l;
        };
        grid->addWidget(label("&Properties:", property), 0, 0);
        grid->addWidget(property, 1, 0);
        grid->addWidget(label("&Font:", name_), 0, 1);
        grid->addWidget(name_, 1, 1);
        grid->addWidget(label("Font St&yle:", style_), 2, 1);
        grid->addWidget(style_, 3, 1);
        grid->addWidget(label("&Size:", size_), 4, 1);
        grid->addWidget(size_, 5, 1);
        auto* effects = new QGroupBox(QStringLiteral("Effects"), this);
        auto* effectsLayout = new QVBoxLayout(effects);
        effectsLayout->addWidget(strike_);
        effectsLayout->addWidget(underline_);
        grid->addWidget(effects, 2, 0, 4, 1);
        grid->addWidget(sample_, 6, 0, 1, 2);
        grid->setColumnStretch(1, 1);
        setMinimumSize(detail::DialogUnits(font()).size(250, 110));

        mirror();
        connect(name_, &QComboBox::currentTextChanged, this, [this](const QString& text) {
            model_.editName(text.toStdU16String());
            showSample();
        });
        connect(style_, &QComboBox::currentIndexChanged, this, [this](int i) {
            const bool italic = i == 1 || i == 3, bold = i >= 2;
            if (italic != model_.choice().italic)
                model_.editItalic(italic);
            if (bold != model_.choice().bold)
                model_.editBold(bold);
            showSample();
        });
        connect(size_, &QComboBox::currentTextChanged, this, [this](const QString& text) {
            model_.editSizeText(text.toStdU16String()); // text that is not a size is not taken
            showSample();
        });
        connect(strike_, &QCheckBox::clicked, this, [this](bool on) {
            model_.editStrikethrough(on);
            showSample();
        });
        connect(underline_, &QCheckBox::clicked, this, [this](bool on) {
            model_.editUnderline(on);
            showSample();
        });
    }

    void mirror()
    {
        const QSignalBlocker b1(name_), b2(style_), b3(size_), b4(strike_), b5(underline_);
        const auto& c = model_.choice();
        name_->setCurrentText(qs(c.name));
        style_->setCurrentIndex((c.bold ? 2 : 0) + (c.italic ? 1 : 0));
        size_->setCurrentText(qs(FontPageModel::sizeText(c.size)));
        strike_->setChecked(c.strikethrough);
        underline_->setChecked(c.underline);
        showSample();
    }

private:
    void showSample()
    {
        const auto& c = model_.choice();
        QFont f(qs(c.name));
        f.setPointSizeF(std::min(c.size / 10000.0, 36.0)); // the sample box stays small
        f.setBold(c.bold);
        f.setItalic(c.italic);
        f.setUnderline(c.underline);
        f.setStrikeOut(c.strikethrough);
        sample_->setFont(f);
    }

    FontPageModel& model_;
    QComboBox* name_;
    QComboBox* style_;
    QComboBox* size_;
    QCheckBox* strike_;
    QCheckBox* underline_;
    QLabel* sample_;
};

class FontPropertyPage final : public PageBase<FontPageModel> {
public:
    Status GetPageInfo(PageInfo* info) override
    {
        if (!info)
            return E_POINTER;
        *info = PageInfo();
        info->title = u"Font";
        info->width = 250;
        info->height = 110;
        return S_OK;
    }

protected:
    QWidget* makeView(QWidget* parent) override { return new FontPageView(model_, parent); }
    void mirror() override
    {
        if (auto* v = static_cast<FontPageView*>(view_.data()))
            v->mirror();
    }
};

} // namespace

ComPtr<IPropertyPage> createPropertyPage(const Guid& clsid)
{
    try {
        IPropertyPage* page = nullptr;
        if (clsid == CLSID_VeerPage)
            page = new VeerPropertyPage();
        else if (clsid == CLSID_StockColorPage)
            page = new ColorPropertyPage();
        else if (clsid == CLSID_StockFontPage)
            page = new FontPropertyPage();
        return ComPtr<IPropertyPage>::adopt(page);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

void setHelpOpener(HelpOpener opener)
{
    helpOpener() = std::move(opener);
}

} // namespace veer
