// The widget: hosting, ambient properties, painting with QPainter, the
// recorded picture, and the view offered to hosts that load the library.

#include <Veer12/VeerWidget.h>

#include <QImage>
#include <QWidget>
#include <QPainter>

#include <gtest/gtest.h>

#include <utility>

namespace veer {
namespace {

ComPtr<IFont> font(const char16_t* name, std::int64_t size)
{
    ComPtr<IFont> f;
    createStdFont(name, size, 400, 0, false, false, false, f.put());
    return f;
}

// A control with black text on nothing, not sited.
ComPtr<IVeer> control(const char16_t* caption, std::int16_t angle, Align align)
{
    ComPtr<IVeer> c;
    createVeer(c.put());
    auto f = font(u"DejaVu Sans", 200000); // 20 pt: 27 pixels at 96 dpi
    c->putref_Font(f.get());
    c->put_Caption(caption);
    c->put_Angle(angle);
    c->put_Alignment(align);
    c->put_ForeColor(0x000000);
    return c;
}

// Where the ink lies in a picture on white.
QRect ink(IVeer* c, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        EXPECT_EQ(drawVeer(c, painter, image.rect(), 96, 96), S_OK);
    }
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

// Compares geometry, not pixels: faces differ between machines.
TEST(VeerWidget, TurnedTextLiesWhereItsAlignmentSays)
{
    const QRect flat = ink(control(u"HHHH", 0, align_Left).get(), {200, 100});
    ASSERT_FALSE(flat.isEmpty());
    EXPECT_LT(flat.left(), 5);
    EXPECT_GT(flat.bottom(), 100 - 27); // bottom-left corner
    EXPECT_GT(flat.width(), flat.height());

    // Turned by 90: the same block standing up, its top edge on the left border.
    const QRect upright = ink(control(u"HHHH", 90, align_Left).get(), {100, 200});
    ASSERT_FALSE(upright.isEmpty());
    EXPECT_NEAR(upright.height(), flat.width(), 2);
    EXPECT_NEAR(upright.width(), flat.height(), 2);
    EXPECT_LT(upright.left(), 14);
    EXPECT_GT(upright.bottom(), 200 - 5);

    // Centred vertically: the middle of the block is the middle of the control.
    const QRect centred = ink(control(u"HHHH", 90, align_CenterVertical).get(), {100, 200});
    EXPECT_NEAR(centred.center().y(), 100, 3);
    EXPECT_NEAR(centred.center().x(), 50, 14);

    // Two lines side by side, 720 twips (48 pixels) apart.
    const QRect two = ink(control(u"H\r\nH", 90, align_CenterHorizontal).get(), {200, 200});
    const QRect one = ink(control(u"H", 90, align_CenterHorizontal).get(), {200, 200});
    EXPECT_NEAR(two.width() - one.width(), 48, 2);
}

TEST(VeerWidget, TakesItsAmbientsFromTheHostingWidget)
{
    QWidget parent;
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(13);
    parent.setFont(f);
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, QColor(10, 200, 30));
    parent.setPalette(pal);
    VeerWidget w(&parent);
    ComPtr<IFont> held;
    w.control()->get_Font(held.put());
    ASSERT_TRUE(held);
    std::u16string name;
    std::int64_t size = 0;
    held->get_Name(&name);
    held->get_Size(&size);
    EXPECT_EQ(name, u"DejaVu Sans");
    EXPECT_EQ(size, 130000);
    OleColor fore = 0;
    w.control()->get_ForeColor(&fore);
    EXPECT_EQ(fore, 0x80000008u); // the host chose no text colour

    w.resize(40, 30);
    w.control()->put_BackStyle(1);
    QImage shot = w.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(20, 15)), QColor(10, 200, 30));
    EXPECT_NE(QColor(shot.pixel(0, 0)), QColor(Qt::black));
    w.setDesignMode(true);
    shot = w.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(0, 0)), QColor(Qt::black)); // the design frame
    EXPECT_EQ(QColor(shot.pixel(39, 29)), QColor(Qt::black));
    EXPECT_EQ(QColor(shot.pixel(20, 15)), QColor(10, 200, 30));
}

TEST(VeerWidget, ResizingSetsTheExtent)
{
    VeerWidget w;
    w.resize(96, 48); // one inch by half an inch at 96 dpi
    w.show();         // a hidden widget hears of its size when shown
    std::uint32_t cx = 0, cy = 0;
    ComPtr<IVeer>(w.control()).as<IVeerControl>(IID_IVeerControl)->GetExtent(&cx, &cy);
    EXPECT_EQ(cx, 2540u);
    EXPECT_EQ(cy, 1270u);
    EXPECT_EQ(w.extentSize(), QSize(96, 48));
}

TEST(VeerWidget, ABadStreamMakesNoWidget)
{
    QWidget parent;
    Status result = S_OK;
    EXPECT_EQ(createVeerFromStream(QByteArray("\x00\x03\x00\x00\x01", 5), &parent, &result), nullptr);
    EXPECT_EQ(result, E_FAIL);
    EXPECT_TRUE(parent.findChildren<VeerWidget*>().isEmpty());
}

TEST(VeerWidget, PictureHasTheControlsExtent)
{
    VeerWidget w;
    ComPtr<IVeer>(w.control()).as<IVeerControl>(IID_IVeerControl)->SetExtent(2540, 5080);
    auto f = font(u"DejaVu Sans", 120000);
    w.control()->putref_Font(f.get());
    w.control()->put_Caption(u"Veer");
    const QPicture picture = w.picture();
    EXPECT_EQ(picture.boundingRect(), QRect(0, 0, 96, 192));
    EXPECT_GT(picture.size(), 0u);
}

TEST(VeerWidget, HostsThatLoadTheLibraryGetAView)
{
    auto c = control(u"Veer", 45, align_CenterHorizontal);
    ComPtr<IVeerQtView> view = c.as<IVeerQtView>(IID_IVeerQtView);
    ASSERT_TRUE(view);
    EXPECT_EQ(view.as<IUnknown>(IID_IUnknown).get(), c.as<IUnknown>(IID_IUnknown).get());
    QWidget parent;
    QWidget* made = nullptr;
    ASSERT_EQ(view->CreateView(&parent, &made), S_OK);
    auto* w = qobject_cast<VeerWidget*>(made);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->parentWidget(), &parent);
    EXPECT_EQ(w->control(), c.get());
}

TEST(VeerWidget, OleColoursBecomeDeviceColours)
{
    QPalette pal;
    pal.setColor(QPalette::ButtonText, QColor(1, 2, 3));
    EXPECT_EQ(colorFromOle(0x80000012, pal), QColor(1, 2, 3));
    EXPECT_EQ(colorFromOle(0x000000FF, pal), QColor(255, 0, 0));
    EXPECT_EQ(colorFromOle(0x00800000, pal), QColor(0, 0, 128));
    EXPECT_EQ(colorFromOle(0x800000FF, pal), QColor(Qt::black)); // no such system colour
    // A system colour is taken from the palette's own group.
    pal.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(4, 5, 6));
    pal.setCurrentColorGroup(QPalette::Disabled);
    EXPECT_EQ(colorFromOle(0x80000012, pal), QColor(4, 5, 6));
}

// A caption in a system colour greys with its window, as every other text of
// the window does; a colour of its own stays.
TEST(VeerWidget, ADisabledWidgetDrawsItsSystemColourFromTheDisabledPalette)
{
    QWidget host;
    QPalette pal = host.palette();
    pal.setColor(QPalette::Active, QPalette::ButtonText, QColor(200, 0, 0));
    pal.setColor(QPalette::Inactive, QPalette::ButtonText, QColor(200, 0, 0));
    pal.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0, 160, 0));
    host.setPalette(pal);
    VeerWidget widget(&host);
    widget.setCaptionFont(QFont(QStringLiteral("DejaVu Sans"), 20));
    widget.setCaption(QStringLiteral("HHHH"));
    widget.control()->put_ForeColor(0x80000012); // button text
    widget.resize(200, 60);
    auto colours = [&] {
        const QImage image = widget.grab().toImage();
        bool red = false, green = false;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                red |= c.red() > 150 && c.green() < 60;
                green |= c.green() > 120 && c.red() < 60;
            }
        return std::pair{red, green};
    };
    EXPECT_EQ(colours(), (std::pair{true, false}));
    host.setEnabled(false);
    EXPECT_EQ(colours(), (std::pair{false, true}));
    widget.control()->put_ForeColor(0x0000C8); // its own red
    EXPECT_EQ(colours(), (std::pair{true, false}));
}

} // namespace
} // namespace veer
