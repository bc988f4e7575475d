#pragma once
// The Qt side of Veer12: a widget that hosts one control and paints it, and
// helpers to draw a control with any QPainter.

#include <Veer12/Veer12.h>

#include <QByteArray>
#include <QColor>
#include <QPicture>
#include <QSize>
#include <QWidget>

class QPainter;
class QFont;

namespace veer {

class VeerWidget : public QWidget {
    Q_OBJECT
public:
    // A new control, sited here and initialised from scratch.
    explicit VeerWidget(QWidget* parent = nullptr);
    // Hosts the given control (a reference is kept) and sites it here; the
    // control is not initialised.
    explicit VeerWidget(IVeer* control, QWidget* parent = nullptr);
    ~VeerWidget() override;

    IVeer* control() const;

    // In design mode the control shows its frame.
    bool designMode() const { return designMode_; }
    void setDesignMode(bool on);

    // The control's extent at this widget's resolution.
    QSize extentSize() const;

    // The same drawing recorded into a picture of the control's extent.
    QPicture picture() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class Site;
    void attach(IVeer* control);

    ComPtr<IVeer> control_;
    ComPtr<IVeerSite> site_;
    bool designMode_ = false;
};

// Creates a control from a stored property stream as a child of parent, sized
// to the stored extent. Null when the stream does not load; *result (when
// given) tells why.
VeerWidget* createVeerFromStream(const QByteArray& stream, QWidget* parent, Status* result = nullptr);

// Draws a control into bounds (device pixels of the painter) for a target of
// the given resolution, as its container would. Ambient back colour and user
// mode come from the control's site when it has one, else from the arguments.
Status drawVeer(IVeer* control, QPainter& painter, const QRect& bounds, int dpiX, int dpiY);

// Converts between Qt fonts and font objects (points in ten-thousandths).
Status fontFromQFont(const QFont& font, IFont** out);

// The device colour of an OLE colour (system colours from the palette).
QColor colorFromOle(OleColor color, const QPalette& palette);

} // namespace veer
