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
    // The control's properties, for form designers and property editors. A
    // value the control refuses leaves the property as it was.
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(int angle READ angle WRITE setAngle)
    Q_PROPERTY(Alignment alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(int spacing READ spacing WRITE setSpacing)
    Q_PROPERTY(BackStyle backStyle READ backStyle WRITE setBackStyle)
    Q_PROPERTY(QColor foreColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(QFont captionFont READ captionFont WRITE setCaptionFont)
public:
    enum Alignment { Left, Right, Top, Bottom, CenterHorizontal, CenterVertical };
    Q_ENUM(Alignment)
    enum BackStyle { Transparent, Opaque };
    Q_ENUM(BackStyle)

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

    // An empty caption is no caption.
    QString caption() const;
    void setCaption(const QString& caption);
    int angle() const;
    void setAngle(int angle); // brought into 0..359
    Alignment alignment() const;
    void setAlignment(Alignment alignment);
    int spacing() const; // twips
    void setSpacing(int spacing);
    BackStyle backStyle() const;
    void setBackStyle(BackStyle style);
    // A system colour reads as this widget's palette shows it.
    QColor foreColor() const;
    void setForeColor(const QColor& color);
    QFont captionFont() const;
    void setCaptionFont(const QFont& font);

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
OleColor oleFromColor(const QColor& color);

// A Qt font from a font object (an application font when there is none).
QFont qfontFromFont(IFont* font);

} // namespace veer
