#include <Veer12/VeerWidget.h>

#include "../core/StdFont.h"
#include "../core/VeerControl.h"
#include "QtCanvas.h"

#include <QApplication>
#include <QFontInfo>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <cmath>
#include <new>

namespace veer {

namespace {

using detail::VeerControl;

constexpr double kHimetricPerInch = 2540.0;

int himetricToPixels(std::uint32_t himetric, int dpi)
{
    return static_cast<int>(std::lround(himetric * static_cast<double>(dpi) / kHimetricPerInch));
}

std::uint32_t pixelsToHimetric(int pixels, int dpi)
{
    return dpi > 0 && pixels > 0 ? static_cast<std::uint32_t>(std::lround(pixels * kHimetricPerInch / dpi)) : 0;
}


QPalette paletteFor(const QPainter& painter)
{
    QPaintDevice* device = painter.device();
    if (device && device->devType() == QInternal::Widget)
        return static_cast<QWidget*>(device)->palette();
    return QGuiApplication::palette();
}

// Offers the control to Qt hosts that reached it through its interfaces only.
class QtView final : public detail::SimpleObject<IVeerQtView, IID_IVeerQtView> {
public:
    explicit QtView(IVeer* control) : control_(control) {}

    // Every interface but the view's own, IUnknown too, is the control's.
    Status QueryInterface(const Guid& iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == IID_IVeerQtView) {
            *out = static_cast<IVeerQtView*>(this);
            AddRef();
            return S_OK;
        }
        return control_->QueryInterface(iid, out);
    }
    Status CreateView(QWidget* parent, QWidget** view) override
    {
        if (!view)
            return E_POINTER;
        try {
            auto* w = new VeerWidget(control_.get(), parent);
            w->resize(w->extentSize());
            *view = w;
            return S_OK;
        } catch (const std::bad_alloc&) {
            *view = nullptr;
            return E_OUTOFMEMORY;
        }
    }

private:
    ~QtView() = default;
    ComPtr<IVeer> control_;
};

IUnknown* createQtView(IVeer* control)
{
    try {
        return new QtView(control);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// Loading the library makes its controls offer Qt views.
[[maybe_unused]] const bool g_hooksSet = [] {
    detail::uiHooks().createQtView = &createQtView;
    return true;
}();

} // namespace

// The widget's side of the control: ambient properties from the hosting
// widget and redraw requests.
class VeerWidget::Site final : public detail::SimpleObject<IVeerSite, IID_IVeerSite> {
public:
    explicit Site(VeerWidget* w) : widget_(w) {}
    void detach() { widget_ = nullptr; }

    Status GetAmbientFont(IFont** font) override
    {
        if (!font)
            return E_POINTER;
        *font = nullptr;
        QWidget* h = host();
        return h ? fontFromQFont(h->font(), font) : E_FAIL;
    }
    Status GetAmbientForeColor(OleColor* color) override
    {
        if (!color)
            return E_POINTER;
        QWidget* h = host();
        // Only a colour the host chose; otherwise the control keeps its own.
        if (!h || !h->palette().isBrushSet(QPalette::Active, QPalette::WindowText))
            return E_NOTIMPL;
        *color = oleFromColor(h->palette().color(QPalette::WindowText));
        return S_OK;
    }
    Status GetAmbientBackColor(OleColor* color) override
    {
        if (!color)
            return E_POINTER;
        QWidget* h = host();
        if (!h)
            return E_FAIL;
        *color = oleFromColor(h->palette().color(h->backgroundRole()));
        return S_OK;
    }
    Status GetAmbientUserMode(bool* userMode) override
    {
        if (!userMode)
            return E_POINTER;
        *userMode = !widget_ || !widget_->designMode();
        return S_OK;
    }
    Status InvalidateControl() override
    {
        if (widget_)
            widget_->update();
        return S_OK;
    }

private:
    ~Site() = default;
    QWidget* host() const
    {
        if (!widget_)
            return nullptr;
        return widget_->parentWidget() ? widget_->parentWidget() : widget_.data();
    }

    QPointer<VeerWidget> widget_;
};

VeerWidget::VeerWidget(QWidget* parent) : QWidget(parent)
{
    ComPtr<IVeer> control;
    if (succeeded(createVeer(control.put()))) {
        attach(control.get());
        if (auto persist = control.as<IPersistStreamInit>(IID_IPersistStreamInit))
            persist->InitNew();
    }
}

VeerWidget::VeerWidget(IVeer* control, QWidget* parent) : QWidget(parent)
{
    attach(control);
}

VeerWidget::~VeerWidget()
{
    // Unsite the control unless another view has sited it since.
    if (auto host = control_.as<IVeerControl>(IID_IVeerControl)) {
        ComPtr<IVeerSite> current;
        host->GetClientSite(current.put());
        if (current == site_)
            host->SetClientSite(nullptr);
    }
    if (site_)
        static_cast<Site*>(site_.get())->detach();
}

void VeerWidget::attach(IVeer* control)
{
    control_ = control;
    auto* site = new Site(this);
    site_ = ComPtr<IVeerSite>::adopt(site);
    if (auto host = control_.as<IVeerControl>(IID_IVeerControl))
        host->SetClientSite(site);
}

IVeer* VeerWidget::control() const
{
    return control_.get();
}

void VeerWidget::setDesignMode(bool on)
{
    designMode_ = on;
    update();
}

QSize VeerWidget::extentSize() const
{
    std::uint32_t cx = 0, cy = 0;
    if (auto host = control_.as<IVeerControl>(IID_IVeerControl))
        host->GetExtent(&cx, &cy);
    return QSize(himetricToPixels(cx, logicalDpiX()), himetricToPixels(cy, logicalDpiY()));
}

QSize VeerWidget::sizeHint() const
{
    return extentSize();
}

QPicture VeerWidget::picture() const
{
    const QSize size = extentSize();
    QPicture picture;
    {
        QPainter painter(&picture);
        detail::VeerControl* c = VeerControl::from(control_.get());
        if (c) {
            detail::QtCanvas canvas(painter, palette());
            detail::DrawRequest request;
            request.bounds = {0, 0, size.width(), size.height()};
            request.dpiX = logicalDpiX();
            request.dpiY = logicalDpiY();
            c->draw(request, canvas);
        }
    }
    picture.setBoundingRect(QRect(QPoint(0, 0), size));
    return picture;
}

void VeerWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawVeer(control_.get(), painter, rect(), logicalDpiX(), logicalDpiY());
}

void VeerWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The container's extent stands while the widget shows it; a new size
    // becomes the new extent.
    if (size() == extentSize())
        return;
    if (auto host = control_.as<IVeerControl>(IID_IVeerControl))
        host->SetExtent(pixelsToHimetric(width(), logicalDpiX()), pixelsToHimetric(height(), logicalDpiY()));
}

QString VeerWidget::caption() const
{
    std::optional<std::u16string> text;
    if (control_)
        control_->get_Caption(&text);
    return text ? QString::fromStdU16String(*text) : QString();
}

void VeerWidget::setCaption(const QString& caption)
{
    if (control_)
        control_->put_Caption(caption.isEmpty() ? std::nullopt : std::optional(caption.toStdU16String()));
}

int VeerWidget::angle() const
{
    std::int16_t angle = 0;
    if (control_)
        control_->get_Angle(&angle);
    return angle;
}

void VeerWidget::setAngle(int angle)
{
    // Through the control's 16-bit property: bring it into a turn first.
    if (control_)
        control_->put_Angle(static_cast<std::int16_t>(angle % 360));
}

VeerWidget::Alignment VeerWidget::alignment() const
{
    Align align = align_Bottom;
    if (control_)
        control_->get_Alignment(&align);
    return static_cast<Alignment>(align);
}

void VeerWidget::setAlignment(Alignment alignment)
{
    if (control_)
        control_->put_Alignment(static_cast<Align>(alignment));
}

int VeerWidget::spacing() const
{
    std::int16_t spacing = 0;
    if (control_)
        control_->get_Spacing(&spacing);
    return spacing;
}

void VeerWidget::setSpacing(int spacing)
{
    if (control_ && spacing > 0 && spacing <= 32767)
        control_->put_Spacing(static_cast<std::int16_t>(spacing));
}

VeerWidget::BackStyle VeerWidget::backStyle() const
{
    std::int32_t style = 0;
    if (control_)
        control_->get_BackStyle(&style);
    return style == 1 ? Opaque : Transparent;
}

void VeerWidget::setBackStyle(BackStyle style)
{
    if (control_)
        control_->put_BackStyle(style == Opaque ? 1 : 0);
}

QColor VeerWidget::foreColor() const
{
    OleColor color = 0;
    if (control_)
        control_->get_ForeColor(&color);
    return colorFromOle(color, palette());
}

void VeerWidget::setForeColor(const QColor& color)
{
    if (control_ && color.isValid())
        control_->put_ForeColor(oleFromColor(color));
}

QFont VeerWidget::captionFont() const
{
    ComPtr<IFont> font;
    if (control_)
        control_->get_Font(font.put());
    return qfontFromFont(font.get());
}

void VeerWidget::setCaptionFont(const QFont& font)
{
    ComPtr<IFont> made;
    if (control_ && succeeded(fontFromQFont(font, made.put())))
        control_->putref_Font(made.get());
}

VeerWidget* createVeerFromStream(const QByteArray& stream, QWidget* parent, Status* result)
{
    auto report = [result](Status s) {
        if (result)
            *result = s;
    };
    ComPtr<IVeer> control;
    Status s = createVeer(control.put());
    if (failed(s)) {
        report(s);
        return nullptr;
    }
    auto* widget = new VeerWidget(control.get(), parent);
    auto memory = MemoryStream::create(stream.constData(), static_cast<std::size_t>(stream.size()));
    auto persist = control.as<IPersistStreamInit>(IID_IPersistStreamInit);
    s = persist ? persist->Load(memory.get()) : E_NOINTERFACE;
    report(s);
    if (failed(s)) {
        delete widget;
        return nullptr;
    }
    widget->resize(widget->extentSize());
    return widget;
}

Status drawVeer(IVeer* control, QPainter& painter, const QRect& bounds, int dpiX, int dpiY)
{
    VeerControl* c = VeerControl::from(control);
    if (!c)
        return E_INVALIDARG;
    detail::QtCanvas canvas(painter, paletteFor(painter));
    detail::DrawRequest request;
    request.bounds = {bounds.left(), bounds.top(), bounds.left() + bounds.width(), bounds.top() + bounds.height()};
    request.dpiX = dpiX;
    request.dpiY = dpiY;
    return c->draw(request, canvas);
}

Status fontFromQFont(const QFont& font, IFont** out)
{
    if (!out)
        return E_POINTER;
    const QFontInfo info(font);
    double points = font.pointSizeF() > 0 ? font.pointSizeF() : info.pointSizeF();
    return createStdFont(font.family().toStdU16String(), std::llround(points * 10000.0),
                         static_cast<std::int16_t>(font.weight()), 0, font.italic(), font.underline(),
                         font.strikeOut(), out);
}

OleColor oleFromColor(const QColor& c)
{
    return static_cast<OleColor>(c.red() | c.green() << 8 | c.blue() << 16);
}

QFont qfontFromFont(IFont* font)
{
    QFont f;
    if (!font)
        return f;
    std::u16string name;
    std::int64_t size = 0;
    std::int16_t weight = 400;
    bool italic = false, underline = false, strike = false;
    font->get_Name(&name);
    font->get_Size(&size);
    font->get_Weight(&weight);
    font->get_Italic(&italic);
    font->get_Underline(&underline);
    font->get_Strikethrough(&strike);
    f.setFamily(QString::fromStdU16String(name));
    if (size > 0)
        f.setPointSizeF(size / 10000.0);
    f.setWeight(static_cast<QFont::Weight>(std::clamp<int>(weight, 1, 1000)));
    f.setItalic(italic);
    f.setUnderline(underline);
    f.setStrikeOut(strike);
    return f;
}

QColor colorFromOle(OleColor color, const QPalette& palette)
{
    if ((color & 0xFF000000u) == 0x80000000u) {
        // The platform's system colours, by the nearest role of the palette.
        static constexpr QPalette::ColorRole kRoles[31] = {
            QPalette::Button,          // 0 scroll bar
            QPalette::Dark,            // 1 desktop
            QPalette::Highlight,       // 2 active caption
            QPalette::Mid,             // 3 inactive caption
            QPalette::Window,          // 4 menu
            QPalette::Base,            // 5 window
            QPalette::Shadow,          // 6 window frame
            QPalette::WindowText,      // 7 menu text
            QPalette::WindowText,      // 8 window text
            QPalette::HighlightedText, // 9 caption text
            QPalette::Button,          // 10 active border
            QPalette::Button,          // 11 inactive border
            QPalette::Dark,            // 12 application workspace
            QPalette::Highlight,       // 13 highlight
            QPalette::HighlightedText, // 14 highlighted text
            QPalette::Button,          // 15 button face
            QPalette::Dark,            // 16 button shadow
            QPalette::PlaceholderText, // 17 grey text
            QPalette::ButtonText,      // 18 button text
            QPalette::Text,            // 19 inactive caption text
            QPalette::Light,           // 20 button highlight
            QPalette::Shadow,          // 21 3-D dark shadow
            QPalette::Midlight,        // 22 3-D light
            QPalette::ToolTipText,     // 23 info text
            QPalette::ToolTipBase,     // 24 info background
            QPalette::Button,          // 25 (unused)
            QPalette::Link,            // 26 hot light
            QPalette::Highlight,       // 27 active caption gradient
            QPalette::Mid,             // 28 inactive caption gradient
            QPalette::Highlight,       // 29 menu highlight
            QPalette::Window,          // 30 menu bar
        };
        // The palette's own group: a disabled widget's palette greys its text
        // as every other control of its window.
        const unsigned index = color & 0xFFFFu;
        return index < 31 ? palette.color(palette.currentColorGroup(), kRoles[index]) : QColor(Qt::black);
    }
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

} // namespace veer
