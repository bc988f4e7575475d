// Draws a control from a stored Veer property stream into a PNG picture, on
// the background a window would give it.
//
//   veer12-render STREAM OUT.png --size WxH [--dpi N]

#include <Veer12/VeerWidget.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPalette>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: veer12-render STREAM OUT.png --size WxH [--dpi N]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace veer;
    // It draws into a picture: no display is needed.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);

    const char* input = nullptr;
    const char* output = nullptr;
    int width = 0, height = 0, dpi = 96;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--size") && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%dx%d", &width, &height) != 2)
                return usage();
        } else if (!std::strcmp(argv[i], "--dpi") && i + 1 < argc) {
            dpi = std::atoi(argv[++i]);
        } else if (!input) {
            input = argv[i];
        } else if (!output) {
            output = argv[i];
        } else {
            return usage();
        }
    }
    if (!input || !output)
        return usage();
    if (dpi < 1 || dpi > 10000) {
        std::fprintf(stderr, "veer12-render: the resolution must lie between 1 and 10000 dpi\n");
        return 2;
    }

    QFile file(QString::fromLocal8Bit(input));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "veer12-render: cannot open %s\n", input);
        return 1;
    }
    const QByteArray bytes = file.readAll();
    ComPtr<IVeer> control;
    createVeer(control.put());
    auto persist = control.as<IPersistStreamInit>(IID_IPersistStreamInit);
    Status s = persist->Load(MemoryStream::create(bytes.constData(), static_cast<std::size_t>(bytes.size())).get());
    if (failed(s)) {
        std::fprintf(stderr, "veer12-render: %s is not a Veer property stream (%s)\n", input, statusName(s).c_str());
        return 1;
    }
    if (width == 0 && height == 0) {
        // Without --size, the stored extent at the resolution.
        std::uint32_t cx = 0, cy = 0;
        control.as<IVeerControl>(IID_IVeerControl)->GetExtent(&cx, &cy);
        width = static_cast<int>(cx * static_cast<double>(dpi) / 2540.0 + 0.5);
        height = static_cast<int>(cy * static_cast<double>(dpi) / 2540.0 + 0.5);
    }
    if (width < 1 || height < 1 || width > 20000 || height > 20000) {
        std::fprintf(stderr, "veer12-render: the size must lie between 1x1 and 20000x20000\n");
        return 2;
    }

    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    const int dotsPerMeter = static_cast<int>(dpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(QGuiApplication::palette().color(QPalette::Window));
    Status drawn;
    {
        QPainter painter(&image);
        drawn = drawVeer(control.get(), painter, image.rect(), dpi, dpi);
    }
    if (!image.save(QString::fromLocal8Bit(output), "PNG")) {
        std::fprintf(stderr, "veer12-render: cannot write %s\n", output);
        return 1;
    }
    if (failed(drawn)) {
        std::fprintf(stderr, "veer12-render: the control drew only its background (%s)\n",
                     statusName(drawn).c_str());
        return 1;
    }
    return 0;
}
