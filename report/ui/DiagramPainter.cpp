#include "DiagramPainter.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace infil::ui {
namespace {

QString text(const std::string& utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

// Colours chosen for paper as much as for the screen.
const QColor kInk(0x20, 0x20, 0x20);
const QColor kGrid(0xdd, 0xdd, 0xdd);
const QColor kFrame(0x80, 0x80, 0x80);
const QColor kSeries(0x1f, 0x5f, 0xa8);
const QColor kMark(0xc8, 0x40, 0x0c);
const QColor kQuiet(0x60, 0x60, 0x60);

QFont scaled(const QFont& base, qreal factor, bool bold = false, bool italic = false)
{
    QFont font = base;
    if (base.pixelSize() > 0)
        font.setPixelSize(std::max(1, int(std::lround(base.pixelSize() * factor))));
    else
        font.setPointSizeF(base.pointSizeF() * factor);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// Where a value lies on an axis drawn from `from` to `to`.
qreal place(const report::DiagramAxis& axis, double value, qreal from, qreal to)
{
    const double span = axis.max - axis.min;
    if (!(span > 0))
        return from;
    return from + qreal((value - axis.min) / span) * (to - from);
}

void paintWords(QPainter& p, const QRectF& area, const report::Diagram& d, const QFont& font)
{
    p.setPen(QPen(kFrame, 1, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(area);
    p.setPen(kQuiet);
    p.setFont(font);
    const qreal margin = QFontMetricsF(font).height();
    p.drawText(area.adjusted(margin, margin, -margin, -margin), Qt::AlignCenter | Qt::TextWordWrap,
               text(d.message));
}

void paintPlot(QPainter& p, const QRectF& area, const report::Diagram& d, const QFont& font)
{
    const QFont tickFont = scaled(font, 0.9);
    const QFont markFont = scaled(font, 0.95, true);
    const QFontMetricsF fm(font), tm(tickFont);
    const qreal pad = fm.height() * 0.5;

    qreal tickWidth = 0;
    for (const auto& tick : d.y.ticks)
        tickWidth = std::max(tickWidth, tm.horizontalAdvance(text(tick.label)));
    const qreal lastXLabel = d.x.ticks.empty() ? 0 : tm.horizontalAdvance(text(d.x.ticks.back().label));
    QRectF plot = area;
    plot.setLeft(area.left() + fm.height() + pad + tickWidth + pad * 0.6);
    plot.setRight(area.right() - std::max(pad, lastXLabel / 2 + 2));
    plot.setTop(area.top() + pad);
    plot.setBottom(area.bottom() - fm.height() - tm.height() - pad * 0.8);
    if (plot.width() < 20 || plot.height() < 20)
        return;
    auto at = [&](const report::DiagramPoint& pt) {
        return QPointF(place(d.x, pt.x, plot.left(), plot.right()), place(d.y, pt.y, plot.bottom(), plot.top()));
    };

    // Grid, ticks and their labels.
    p.setFont(tickFont);
    for (const auto& tick : d.y.ticks) {
        const qreal y = place(d.y, tick.value, plot.bottom(), plot.top());
        p.setPen(QPen(tick.value == 0 ? kFrame : kGrid, 1));
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p.setPen(kInk);
        p.drawText(QRectF(plot.left() - pad * 0.4 - tickWidth, y - tm.height() / 2, tickWidth, tm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, text(tick.label));
    }
    for (const auto& tick : d.x.ticks) {
        const qreal x = place(d.x, tick.value, plot.left(), plot.right());
        p.setPen(QPen(kGrid, 1));
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        p.setPen(kInk);
        const qreal w = tm.horizontalAdvance(text(tick.label)) + 4;
        p.drawText(QRectF(x - w / 2, plot.bottom() + pad * 0.3, w, tm.height()), Qt::AlignCenter,
                   text(tick.label));
    }
    p.setPen(QPen(kFrame, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);

    // Axis titles: the duration below, the quantity turned along the left edge.
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(QRectF(plot.left(), area.bottom() - fm.height(), plot.width(), fm.height()), Qt::AlignCenter,
               fm.elidedText(text(d.x.title), Qt::ElideRight, plot.width()));
    p.save();
    p.translate(area.left(), plot.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-plot.height() / 2, 0, plot.height(), fm.height()), Qt::AlignCenter,
               fm.elidedText(text(d.y.title), Qt::ElideRight, plot.height()));
    p.restore();

    // The series: a line through the candidates, a dot at each.
    const qreal dot = std::max<qreal>(2.5, fm.height() * 0.2);
    QPainterPath line;
    for (std::size_t k = 0; k < d.points.size(); ++k)
        k == 0 ? line.moveTo(at(d.points[k])) : line.lineTo(at(d.points[k]));
    p.setClipRect(plot.adjusted(-dot * 3, -dot * 3, dot * 3, dot * 3));
    p.setPen(QPen(kSeries, std::max<qreal>(1.5, dot * 0.6), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(line);
    p.setPen(QPen(kSeries, std::max<qreal>(1.2, dot * 0.5)));
    p.setBrush(Qt::white);
    for (const auto& pt : d.points)
        p.drawEllipse(at(pt), dot, dot);
    p.setClipping(false);

    if (d.marked < 0 || d.marked >= int(d.points.size()))
        return;
    // The governing point: a larger dot, a line down to its duration, its value.
    const QPointF g = at(d.points[std::size_t(d.marked)]);
    p.setPen(QPen(kMark, 1, Qt::DashLine));
    p.drawLine(g, QPointF(g.x(), plot.bottom()));
    p.setPen(QPen(kMark, 1.5));
    p.setBrush(kMark);
    p.drawEllipse(g, dot * 1.7, dot * 1.7);

    p.setFont(markFont);
    const QFontMetricsF mm(markFont);
    const QString label = text(d.markLabel);
    const QSizeF box(mm.horizontalAdvance(label) + pad, mm.height() + pad * 0.4);
    // Beside the point, inside the plot: to the right unless that runs out,
    // above unless the point is near the top.
    qreal x = g.x() + dot * 2.5;
    if (x + box.width() > plot.right() - 2)
        x = g.x() - dot * 2.5 - box.width();
    x = std::clamp(x, plot.left() + 2, std::max(plot.left() + 2, plot.right() - 2 - box.width()));
    qreal y = g.y() - dot * 2 - box.height();
    if (y < plot.top() + 2)
        y = g.y() + dot * 2;
    y = std::clamp(y, plot.top() + 2, std::max(plot.top() + 2, plot.bottom() - 2 - box.height()));
    const QRectF labelRect(QPointF(x, y), box);
    p.setPen(QPen(kMark, 1));
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawRoundedRect(labelRect, 3, 3);
    p.setPen(kMark);
    p.drawText(labelRect, Qt::AlignCenter, label);
}

} // namespace

void paintDiagram(QPainter& p, const QRectF& area, const report::Diagram& d, const QFont& font)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(area, Qt::white);

    const QFont titleFont = scaled(font, 1.1, true);
    const QFontMetricsF fm(font), tf(titleFont);
    const qreal pad = fm.height() * 0.5;
    QRectF rest = area.adjusted(pad, pad * 0.6, -pad, -pad * 0.6);

    p.setPen(kInk);
    p.setFont(titleFont);
    p.drawText(QRectF(rest.left(), rest.top(), rest.width(), tf.height()), Qt::AlignLeft | Qt::AlignVCenter,
               tf.elidedText(text(d.title), Qt::ElideRight, rest.width()));
    rest.setTop(rest.top() + tf.height() + pad * 0.3);
    if (!d.note.empty()) {
        const QFont noteFont = scaled(font, 0.9, false, true);
        const QFontMetricsF nm(noteFont);
        p.setFont(noteFont);
        p.setPen(kQuiet);
        p.drawText(QRectF(rest.left(), rest.top(), rest.width(), nm.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   nm.elidedText(text(d.note), Qt::ElideRight, rest.width()));
        rest.setTop(rest.top() + nm.height() + pad * 0.2);
    }

    if (d.drawable())
        paintPlot(p, rest, d, font);
    else
        paintWords(p, rest, d, font);
    p.restore();
}

QFont pictureFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    return font;
}

QByteArray diagramPng(const report::Diagram& diagram, QSize size, int scale)
{
    scale = std::max(1, scale);
    QImage image(size * scale, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.setDevicePixelRatio(scale);
    // 96 pixels per inch on the page, so the picture says how large it prints.
    const int dotsPerMeter = int(std::lround(96.0 * scale / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        paintDiagram(painter, QRectF(QPointF(0, 0), QSizeF(size)), diagram, pictureFont());
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return png;
}

// ---- DiagramView ----

DiagramView::DiagramView(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void DiagramView::setDiagram(report::Diagram diagram)
{
    diagram_ = std::move(diagram);
    setToolTip(text(diagram_.drawable() ? diagram_.title : diagram_.message));
    // Words take the room they need; plots share the rest.
    setSizePolicy(QSizePolicy::Expanding, diagram_.drawable() ? QSizePolicy::Expanding : QSizePolicy::Maximum);
    updateGeometry();
    update();
}

QSize DiagramView::sizeHint() const
{
    const QFontMetrics fm(font());
    return {fm.averageCharWidth() * 64, fm.height() * (diagram_.drawable() ? 17 : 7)};
}

QSize DiagramView::minimumSizeHint() const
{
    const QFontMetrics fm(font());
    // Words need less room than a plot.
    return {fm.averageCharWidth() * 40, fm.height() * (diagram_.drawable() ? 13 : 6)};
}

void DiagramView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintDiagram(painter, QRectF(rect()), diagram_, font());
}

// ---- DiagramsPanel ----

DiagramsPanel::DiagramsPanel(QWidget* parent)
    : QScrollArea(parent), content_(new QWidget), layout_(new QVBoxLayout(content_))
{
    setObjectName(QStringLiteral("diagrams"));
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(1);
    QPalette white = content_->palette();
    white.setColor(QPalette::Window, Qt::white);
    content_->setPalette(white);
    content_->setAutoFillBackground(true);
    setWidget(content_);
}

void DiagramsPanel::setDiagrams(const std::vector<report::Diagram>& diagrams)
{
    for (DiagramView* view : views_)
        delete view;
    views_.clear();
    for (const report::Diagram& diagram : diagrams) {
        auto* view = new DiagramView(content_);
        view->setDiagram(diagram);
        layout_->addWidget(view, diagram.drawable() ? 1 : 0);
        views_.push_back(view);
    }
}

} // namespace infil::ui
