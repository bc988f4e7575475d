#pragma once
// Paints the design's diagrams (report/writer/Diagrams.h): the one place that
// draws them, for the results tab and for the report's pictures alike.

#include "Diagrams.h"

#include <QByteArray>
#include <QFont>
#include <QScrollArea>
#include <QSize>
#include <QWidget>

#include <vector>

class QPainter;
class QRectF;
class QVBoxLayout;

namespace infil::ui {

// Paints `diagram` into `area`, white behind it, its texts in `font` (titles
// a little larger, tick labels a little smaller).
void paintDiagram(QPainter& painter, const QRectF& area, const report::Diagram& diagram, const QFont& font);

// The font of the pictures: a fixed size, so a picture looks the same from
// the window and from the batch mode.
QFont pictureFont();

// The diagram as a PNG picture of `size` pixels on the page, drawn with
// `scale` image pixels per page pixel so that it prints sharp. Empty when it
// cannot be encoded. Needs a QGuiApplication (for the fonts).
QByteArray diagramPng(const report::Diagram& diagram, QSize size, int scale);

// One diagram in the window.
class DiagramView : public QWidget {
    Q_OBJECT
public:
    explicit DiagramView(QWidget* parent = nullptr);

    void setDiagram(report::Diagram diagram);
    const report::Diagram& diagram() const { return diagram_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    report::Diagram diagram_;
};

// The diagrams of the results tab, one under another; scrolls when they do
// not fit.
class DiagramsPanel : public QScrollArea {
    Q_OBJECT
public:
    explicit DiagramsPanel(QWidget* parent = nullptr);

    void setDiagrams(const std::vector<report::Diagram>& diagrams);
    std::vector<DiagramView*> views() const { return views_; }

private:
    QWidget* content_;
    QVBoxLayout* layout_;
    std::vector<DiagramView*> views_;
};

} // namespace infil::ui
