// The property frame, the About box, the toolbox picture, and the hooks
// through which the control's verbs and the class factory reach them.

#include <Veer12/VeerDialogs.h>
#include <Veer12/VeerWidget.h>

#include "../core/Module.h"
#include "DialogUnits.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <dlfcn.h>

#include <new>

namespace veer {

namespace {

// The folder of this library file: where its help file would lie.
QString libraryFolder()
{
    Dl_info info{};
    if (!::dladdr(reinterpret_cast<void*>(&createAboutBox), &info) || !info.dli_fname)
        return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
}

class PropertyFrame;

// The frame's side of its pages: it hears when a page becomes dirty.
class FrameSite final : public detail::SimpleObject<IPropertyPageSite, IID_IPropertyPageSite> {
public:
    explicit FrameSite(PropertyFrame* frame) : frame_(frame) {}
    void detach() { frame_ = nullptr; }

    Status OnStatusChange(std::uint32_t flags) override;

private:
    ~FrameSite() = default;
    PropertyFrame* frame_;
};

class PropertyFrame : public QDialog {
public:
    PropertyFrame(QWidget* owner, const QString& caption, const std::vector<IUnknown*>& objects,
                  const std::vector<Guid>& pageClasses)
        : QDialog(owner), helpFolder_(libraryFolder())
    {
        setObjectName(QStringLiteral("PropertyFrame"));
        setWindowTitle(caption + QStringLiteral(" Properties"));
        setModal(true);
        site_ = ComPtr<FrameSite>::adopt(new FrameSite(this));
        tabs_ = new QTabWidget(this);
        const detail::DialogUnits du(font());
        for (const Guid& clsid : pageClasses) {
            ComPtr<IPropertyPage> page = createPropertyPage(clsid);
            if (!page)
                continue;
            PageInfo info;
            page->GetPageInfo(&info);
            page->SetPageSite(site_.get());
            page->SetObjects(static_cast<std::uint32_t>(objects.size()), objects.data());
            auto* holder = new QWidget;
            auto* holderLayout = new QVBoxLayout(holder);
            QWidget* view = nullptr;
            if (failed(page->Activate(holder, &view)) || !view) {
                delete holder;
                page->SetObjects(0, nullptr);
                page->SetPageSite(nullptr);
                continue;
            }
            view->setMinimumSize(view->minimumSize().expandedTo(du.size(info.width, info.height)));
            holderLayout->addWidget(view);
            const int index = tabs_->addTab(holder, QString::fromStdU16String(info.title));
            tabs_->setTabToolTip(index, QString::fromStdU16String(info.docString));
            pages_.push_back({page, info});
        }

        buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply |
                                            QDialogButtonBox::Help,
                                        this);
        buttons_->button(QDialogButtonBox::Apply)->setEnabled(false);
        connect(buttons_, &QDialogButtonBox::accepted, this, [this] {
            applyAll();
            accept();
        });
        connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(buttons_->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, [this] { applyAll(); });
        connect(buttons_, &QDialogButtonBox::helpRequested, this, [this] { showHelp(); });
        connect(tabs_, &QTabWidget::currentChanged, this, [this] { updateHelp(); });
        updateHelp();

        auto* layout = new QVBoxLayout(this);
        layout->addWidget(tabs_);
        layout->addWidget(buttons_);
    }

    ~PropertyFrame() override
    {
        for (auto& entry : pages_) {
            entry.page->Deactivate();
            entry.page->SetObjects(0, nullptr);
            entry.page->SetPageSite(nullptr);
        }
        site_->detach();
    }

    void pageStatus(std::uint32_t flags)
    {
        if (flags & PROPPAGESTATUS_DIRTY)
            buttons_->button(QDialogButtonBox::Apply)->setEnabled(true);
    }

private:
    struct Entry {
        ComPtr<IPropertyPage> page;
        PageInfo info;
    };

    void applyAll()
    {
        for (auto& entry : pages_)
            if (entry.page->IsPageDirty() == S_OK)
                entry.page->Apply();
        buttons_->button(QDialogButtonBox::Apply)->setEnabled(false);
    }

    QString helpFile() const
    {
        const int i = tabs_->currentIndex();
        if (i < 0 || i >= static_cast<int>(pages_.size()) || pages_[static_cast<std::size_t>(i)].info.helpFile.empty())
            return {};
        return helpFolder_ + QLatin1Char('/') +
               QString::fromStdU16String(pages_[static_cast<std::size_t>(i)].info.helpFile);
    }

    // Help is offered when the page has a help file and it lies in the folder.
    void updateHelp()
    {
        const QString file = helpFile();
        buttons_->button(QDialogButtonBox::Help)->setEnabled(!file.isEmpty() && QFileInfo(file).isFile());
    }

    void showHelp()
    {
        const int i = tabs_->currentIndex();
        if (i >= 0 && i < static_cast<int>(pages_.size()))
            pages_[static_cast<std::size_t>(i)].page->Help(helpFolder_.toStdU16String());
    }

    QString helpFolder_;
    ComPtr<FrameSite> site_;
    QTabWidget* tabs_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    std::vector<Entry> pages_;
};

Status FrameSite::OnStatusChange(std::uint32_t flags)
{
    if (frame_)
        frame_->pageStatus(flags);
    return S_OK;
}

bool haveWidgets()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

// Runs a dialog modally over the active window and disposes of it.
void runModal(QDialog* dialog)
{
    QPointer<QDialog> guard(dialog);
    dialog->exec();
    delete guard.data();
}

Status aboutBoxHook(IVeer*)
{
    if (!haveWidgets())
        return E_UNEXPECTED;
    try {
        runModal(createAboutBox(QApplication::activeWindow()));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

Status propertyFrameHook(IVeer* control)
{
    if (!haveWidgets())
        return E_UNEXPECTED;
    std::vector<Guid> pages;
    auto specify = ComPtr<IVeer>(control).as<ISpecifyPropertyPages>(IID_ISpecifyPropertyPages);
    if (!specify || failed(specify->GetPages(&pages)))
        return E_FAIL;
    try {
        std::vector<IUnknown*> objects{control};
        runModal(createPropertyFrame(QApplication::activeWindow(), QStringLiteral("Veer"), objects, pages));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

IUnknown* createPageHook()
{
    return createPropertyPage(CLSID_VeerPage).detach();
}

// Loading the library makes the control's verbs open these windows.
[[maybe_unused]] const bool g_hooksSet = [] {
    detail::uiHooks().aboutBox = &aboutBoxHook;
    detail::uiHooks().propertyFrame = &propertyFrameHook;
    detail::uiHooks().createPage = &createPageHook;
    return true;
}();

} // namespace

QDialog* createPropertyFrame(QWidget* owner, const QString& caption, const std::vector<IUnknown*>& objects,
                             const std::vector<Guid>& pages)
{
    return new PropertyFrame(owner, caption, objects, pages);
}

QDialog* createAboutBox(QWidget* owner)
{
    auto* dialog = new QDialog(owner);
    dialog->setObjectName(QStringLiteral("AboutVeer"));
    dialog->setWindowTitle(QStringLiteral("About Veer"));
    dialog->setModal(true);
    const detail::DialogUnits du(dialog->font());
    auto place = [&du](QWidget* w, int x, int y, int cx, int cy) {
        w->setGeometry(du.x(x), du.y(y), du.x(cx), du.y(cy));
    };

    auto* ok = new QPushButton(QStringLiteral("OK"), dialog);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    place(ok, 129, 7, 50, 14);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);

    // A live control, set up as the box always shows it.
    auto* veer = new VeerWidget(dialog);
    veer->setObjectName(QStringLiteral("veer"));
    place(veer, 6, 5, 100, 64);
    if (IVeer* control = veer->control()) {
        ComPtr<IFont> font;
        createStdFont(u"Arial", 160000, 400, 0, false, false, false, font.put());
        control->put_Caption(u"Veer 1.2\r\nStacklabel");
        control->put_Font(font.get());
        control->put_Alignment(align_CenterHorizontal);
        control->put_Angle(45);
        control->put_Spacing(640);
        control->put_ForeColor(0x800000); // dark blue
        control->put_BackStyle(1);
    }

    int width = du.x(186);
    const std::pair<const char*, int> credits[] = {{"Turned captions", 124}, {"by the Infil team", 122}};
    int y = 38;
    for (const auto& [text, x] : credits) {
        auto* line = new QLabel(QString::fromLatin1(text), dialog);
        line->setObjectName(QStringLiteral("credit"));
        line->setGeometry(du.x(x), du.y(y), line->sizeHint().width(), du.y(10));
        width = std::max(width, line->geometry().right() + du.x(6));
        y += 12;
    }
    dialog->setFixedSize(width, du.y(76));
    return dialog;
}

QImage toolboxBitmap()
{
    // The 16 colours of the classic palette; the picture uses light grey,
    // purple and dark grey.
    static const QRgb palette16[16] = {
        0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
        0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
    };
    constexpr uchar grey = 7, purple = 5, shadow = 8;
    QImage image(16, 16, QImage::Format_Indexed8);
    image.setColorTable(QList<QRgb>(std::begin(palette16), std::end(palette16)));
    image.fill(grey);
    // Three strokes slanted like lines of a caption turned by 60 degrees, each
    // two pixels wide, with a dark edge on their lower right.
    for (int k = 0; k < 3; ++k) {
        for (int y = 2; y <= 13; ++y) {
            const int x = 1 + 4 * k + (13 - y) / 2;
            image.setPixel(x, y, purple);
            image.setPixel(x + 1, y, purple);
            if (x + 2 < 16)
                image.setPixel(x + 2, y, shadow);
        }
    }
    return image;
}

} // namespace veer
