#include "QtCanvas.h"

#include <Veer12/VeerWidget.h>

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace veer::detail {

namespace {

const char kQtFontKind = 0;

// Coordinates far outside any device are held to a range QPainter takes.
int clampCoord(std::int64_t v)
{
    return static_cast<int>(std::clamp<std::int64_t>(v, -(1 << 28), 1 << 28));
}

QRect toQRect(const Rect& r)
{
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

// Faces of the original platform that have well-known look-alikes here; Qt
// takes the first one installed, else its own nearest face.
void addFaceSubstitutes()
{
    static std::once_flag once;
    std::call_once(once, [] {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                                    QStringLiteral("Arimo"), QStringLiteral("Arial"), QStringLiteral("Nimbus Sans"),
                                    QStringLiteral("DejaVu Sans")});
    });
}

} // namespace

QFont qfontFromLogFont(const LogFont& lf)
{
    addFaceSubstitutes();
    QFont f(QString::fromStdU16String(lf.face));
    if (lf.height != 0)
        f.setPixelSize(std::max(1, static_cast<int>(std::min<std::int64_t>(std::llabs(lf.height), 1 << 16))));
    int weight = lf.weight == 0 ? 400 : std::clamp(lf.weight, 1, 1000);
    f.setWeight(static_cast<QFont::Weight>(weight));
    f.setItalic(lf.italic);
    f.setUnderline(lf.underline);
    f.setStrikeOut(lf.strikeOut);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::PreferOutline | QFont::PreferQuality));
    return f;
}

const void* QtCanvas::fontKind() const
{
    return &kQtFontKind;
}

void QtCanvas::fill(const Rect& r, OleColor color)
{
    painter_.fillRect(toQRect(r), colorFromOle(color, palette_));
}

void QtCanvas::frame(const Rect& r)
{
    painter_.save();
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(QRect(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1));
    painter_.restore();
}

std::unique_ptr<DeviceFont> QtCanvas::makeFont(const LogFont& lf)
{
    return std::make_unique<QtDeviceFont>(qfontFromLogFont(lf), lf.escapement);
}

int QtCanvas::textHeight(const DeviceFont& font)
{
    const auto& f = static_cast<const QtDeviceFont&>(font);
    return QFontMetrics(f.font, painter_.device()).height();
}

void QtCanvas::drawLine(const DeviceFont* font, Point at, unsigned flags, OleColor color, std::u16string_view text,
                        const Rect& clip)
{
    if (text.empty())
        return;
    const auto* f = static_cast<const QtDeviceFont*>(font);
    const QString line = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    painter_.save();
    painter_.setClipRect(toQRect(clip), Qt::IntersectClip);
    if (f)
        painter_.setFont(f->font);
    painter_.setPen(colorFromOle(color, palette_));
    painter_.translate(clampCoord(at.x), clampCoord(at.y));
    if (f && f->escapement != 0)
        painter_.rotate(-f->escapement / 10.0); // counter-clockwise on screen
    // The anchor is a point of the line's cell: left, right or centre of its
    // advance, top or bottom of its height.
    const QFontMetrics fm(painter_.font(), painter_.device());
    const int width = fm.horizontalAdvance(line);
    int x = 0;
    if ((flags & TA_CENTER) == TA_CENTER)
        x = -width / 2;
    else if (flags & TA_RIGHT)
        x = -width;
    const int y = (flags & TA_BOTTOM) ? -fm.descent() : fm.ascent();
    painter_.drawText(QPoint(x, y), line);
    painter_.restore();
}

} // namespace veer::detail
