// The selection guide's turned captions come up through the Veer12 class
// factory, found through a (temporary) registration store or beside the
// program, and the program runs on without them when no library loads.

#include "ui/VeerHost.h"

#include <RegistrationStore.h>
#include <Veer12/Veer12.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <array>
#include <memory>

namespace infil::ui {
namespace {

// Registers a library file in a store the way its setup would: by loading it
// and calling its own entry point.
bool registerLibrary(const QString& library, const QString& store)
{
    void* handle = ::dlopen(QFile::encodeName(library).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return false;
    auto reg = reinterpret_cast<veer::DllRegisterServerFn>(::dlsym(handle, veer::kDllRegisterServer));
    setenv("VEER12_REGISTRY", QFile::encodeName(store).constData(), 1);
    const bool ok = reg && reg() == veer::S_OK;
    unsetenv("VEER12_REGISTRY");
    ::dlclose(handle);
    return ok;
}

struct Guide {
    QWidget window;
    std::array<QWidget*, VeerHost::kCaptions> hosts{};
    Guide()
    {
        window.resize(300, 300);
        const QRect places[] = {{10, 10, 20, 40}, {40, 10, 20, 200}, {10, 220, 20, 40}};
        for (int i = 0; i < VeerHost::kCaptions; ++i) {
            hosts[static_cast<std::size_t>(i)] = new QWidget(&window);
            hosts[static_cast<std::size_t>(i)]->setGeometry(places[i]);
        }
        window.show();
    }
};

class VeerHostTest : public ::testing::Test {
protected:
    QTemporaryDir temp;
    QString store() const { return temp.filePath(QStringLiteral("classes.reg")); }
    QString programFolder() const { return QFileInfo(QStringLiteral(VEER12_LIBRARY)).absolutePath(); }
    VeerHost::Options options(const QString& folder) const { return {store().toStdString(), folder}; }
    // A copy of the library elsewhere, so that where a caption came from shows.
    QString copyOfLibrary()
    {
        const QString copy = temp.filePath(QStringLiteral("registered/libVeer12.so"));
        QDir().mkpath(QFileInfo(copy).absolutePath());
        EXPECT_TRUE(QFile::copy(QStringLiteral(VEER12_LIBRARY), copy));
        return copy;
    }
};

TEST_F(VeerHostTest, CaptionsComeUpThroughTheRegisteredFactory)
{
    const QString registered = copyOfLibrary();
    ASSERT_TRUE(registerLibrary(registered, store()));
    Guide guide;
    auto host = std::make_unique<VeerHost>(options(programFolder()));
    ASSERT_TRUE(host->createCaptions(guide.hosts)) << host->lastError().toStdString();
    EXPECT_EQ(host->libraryPath(), registered);

    const char16_t* texts[] = {u"hodn\u011B", u"Vhodn\u00FDch ploch k dispozici", u"m\u00E1lo"};
    for (int i = 0; i < VeerHost::kCaptions; ++i) {
        QWidget* view = host->caption(i);
        ASSERT_TRUE(view) << i;
        EXPECT_EQ(view->parentWidget(), guide.hosts[static_cast<std::size_t>(i)]);
        EXPECT_STREQ(view->metaObject()->className(), "veer::VeerWidget");
        EXPECT_EQ(view->property("caption").toString(), QString::fromUtf16(texts[i]));
        EXPECT_EQ(view->property("angle").toInt(), 90);
        EXPECT_TRUE(view->isVisible());
    }
    // Each caption fills the place the window gives it, and draws there.
    guide.hosts[1]->resize(24, 180);
    QApplication::processEvents();
    EXPECT_EQ(host->caption(1)->geometry(), QRect(0, 0, 24, 180));
    const QImage shot = guide.hosts[1]->grab().toImage();
    bool ink = false;
    for (int y = 0; y < shot.height() && !ink; ++y)
        for (int x = 0; x < shot.width() && !ink; ++x)
            ink = qGray(shot.pixel(x, y)) < 100;
    EXPECT_TRUE(ink);

    // The window closes: the captions go and the library is released.
    QPointer<QWidget> view = host->caption(0);
    host.reset();
    EXPECT_TRUE(view.isNull());
    EXPECT_TRUE(guide.hosts[0]->findChildren<QWidget*>().isEmpty());
}

TEST_F(VeerHostTest, UsesTheLibraryBesideTheProgramWhenNotRegistered)
{
    Guide guide;
    VeerHost host(options(programFolder()));
    ASSERT_TRUE(host.createCaptions(guide.hosts)) << host.lastError().toStdString();
    EXPECT_EQ(QFileInfo(host.libraryPath()).canonicalFilePath(),
              QFileInfo(QStringLiteral(VEER12_LIBRARY)).canonicalFilePath());

    // So too when the registered file is gone.
    const QString registered = copyOfLibrary();
    ASSERT_TRUE(registerLibrary(registered, store()));
    QFile::remove(registered);
    ASSERT_TRUE(host.createCaptions(guide.hosts));
    EXPECT_EQ(QFileInfo(host.libraryPath()).canonicalFilePath(),
              QFileInfo(QStringLiteral(VEER12_LIBRARY)).canonicalFilePath());
    for (QWidget* parent : guide.hosts)
        EXPECT_EQ(parent->findChildren<QWidget*>().size(), 1); // the first ones were released
}

TEST_F(VeerHostTest, WithoutAnyLibraryTheGuideShowsWithoutCaptions)
{
    const QString registered = copyOfLibrary();
    ASSERT_TRUE(registerLibrary(registered, store()));
    QFile::remove(registered);
    QTemporaryDir empty;
    Guide guide;
    VeerHost host(options(empty.path()));
    EXPECT_FALSE(host.createCaptions(guide.hosts));
    EXPECT_FALSE(host.libraryLoaded());
    EXPECT_FALSE(host.lastError().isEmpty());
    for (int i = 0; i < VeerHost::kCaptions; ++i) {
        EXPECT_EQ(host.caption(i), nullptr);
        EXPECT_TRUE(guide.hosts[static_cast<std::size_t>(i)]->findChildren<QWidget*>().isEmpty());
    }

    // A file that is no such library is passed over too.
    QFile fake(empty.filePath(QStringLiteral("libVeer12.so")));
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
    fake.write("not a library");
    fake.close();
    EXPECT_FALSE(host.createCaptions(guide.hosts));
}

} // namespace
} // namespace infil::ui
