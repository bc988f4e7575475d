// The selection guide's turned captions come up through the Veer12 class
// factory, found through a (temporary) registration store or beside the
// program; a registration that fails or cannot be trusted is passed over, and
// the guide gets plain captions when no library serves.

#include "TestEnvironment.h"
#include "ui/VeerHost.h"

#include <RegistrationStore.h>
#include <Veer12/Veer12.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

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
    bool ok = false;
    {
        test::ScopedEnv registry("VEER12_REGISTRY", QFile::encodeName(store).toStdString());
        ok = reg && reg() == veer::S_OK;
    }
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

// Writes a store that names `library` as the server of Veer12.Veer.1, as
// something other than the library itself may have written it.
constexpr const char* kVeerClass = "{AC21760D-5B12-11D4-A41F-94EBAB2B3626}";
constexpr const char* kPageClass = "{AC21760F-5B12-11D4-A41F-94EBAB2B3626}";

void writeStore(const QString& file, const QString& library, const std::string& id = kVeerClass)
{
    platform::RegistrationStore store;
    store.setValue("Veer12.Veer.1\\CLSID", "", id);
    store.setValue("CLSID\\" + id + "\\InprocServer32", "", QFile::encodeName(library).toStdString());
    ASSERT_TRUE(store.save(QFile::encodeName(file).toStdString()));
}

QString canonical(const QString& path)
{
    return QFileInfo(path).canonicalFilePath();
}

class VeerHostTest : public ::testing::Test {
protected:
    QTemporaryDir temp;
    QString store() const { return temp.filePath(QStringLiteral("classes.reg")); }
    QString systemStore() const { return temp.filePath(QStringLiteral("system/classes.reg")); }
    QString programFolder() const { return QFileInfo(QStringLiteral(VEER12_LIBRARY)).absolutePath(); }
    VeerHost::Options options(const QString& folder) const
    {
        return {store().toStdString(), folder, systemStore().toStdString()};
    }
    // A copy of the library elsewhere, so that where a caption came from shows.
    QString copyOfLibrary(const QString& name = QStringLiteral("registered"))
    {
        const QString copy = temp.filePath(name + QStringLiteral("/libVeer12.so"));
        QDir().mkpath(QFileInfo(copy).absolutePath());
        EXPECT_TRUE(QFile::copy(QStringLiteral(VEER12_LIBRARY), copy));
        return copy;
    }
    // The file the captions of a new host came from; empty when none loaded.
    QString captionsFrom(const VeerHost::Options& o)
    {
        Guide guide;
        VeerHost host(o);
        const bool made = host.createCaptions(guide.hosts);
        EXPECT_EQ(made, host.libraryLoaded()) << host.lastError().toStdString();
        return canonical(host.libraryPath());
    }
    QString beside() const { return canonical(QStringLiteral(VEER12_LIBRARY)); }
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

TEST_F(VeerHostTest, WithoutAnyLibraryTheGuideShowsPlainCaptions)
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
    const char16_t* texts[] = {u"hodn\u011B", u"Vhodn\u00FDch ploch k dispozici", u"m\u00E1lo"};
    for (int i = 0; i < VeerHost::kCaptions; ++i) {
        QWidget* plain = host.caption(i);
        ASSERT_TRUE(plain) << i;
        EXPECT_EQ(guide.hosts[static_cast<std::size_t>(i)]->findChildren<QWidget*>(), QList<QWidget*>{plain});
        EXPECT_EQ(plain->objectName(), QStringLiteral("PlainCaption"));
        EXPECT_EQ(plain->accessibleName(), QString::fromUtf16(texts[i]));
        EXPECT_TRUE(plain->isVisible());
    }
    // The middle one draws its text turned upwards: taller ink than wide.
    guide.hosts[1]->resize(24, 200);
    QApplication::processEvents();
    const QImage shot = guide.hosts[1]->grab().toImage();
    int top = shot.height(), bottom = -1, left = shot.width(), right = -1;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (qGray(shot.pixel(x, y)) < 100) {
                top = std::min(top, y), bottom = std::max(bottom, y);
                left = std::min(left, x), right = std::max(right, x);
            }
    ASSERT_GE(bottom, 0) << "no ink";
    EXPECT_GT(bottom - top, 3 * (right - left));

    // A file that is no such library is passed over too.
    QFile fake(empty.filePath(QStringLiteral("libVeer12.so")));
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
    fake.write("not a library");
    fake.close();
    EXPECT_FALSE(host.createCaptions(guide.hosts));
    EXPECT_EQ(host.caption(0)->objectName(), QStringLiteral("PlainCaption"));
}

// A registration that cannot serve never costs the captions: the library
// beside the program takes over.
TEST_F(VeerHostTest, ARegisteredLibraryThatFailsGivesWayToTheOneBesideTheProgram)
{
    // Its factory is found but makes no control (the class is the page's).
    writeStore(store(), copyOfLibrary(), kPageClass);
    EXPECT_EQ(captionsFrom(options(programFolder())), beside());

    // Not a server library at all.
    writeStore(store(), QStringLiteral("/lib/x86_64-linux-gnu/libm.so.6"));
    EXPECT_EQ(captionsFrom(options(programFolder())), beside());

    // A relative name is not looked for in the current folder.
    const QString copy = copyOfLibrary(QStringLiteral("cwd"));
    writeStore(store(), QStringLiteral("libVeer12.so"));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QFileInfo(copy).absolutePath()));
    const QString from = captionsFrom(options(programFolder()));
    QDir::setCurrent(before);
    EXPECT_EQ(from, beside());
}

TEST_F(VeerHostTest, AStoreThatCouldHangOrBeForgedIsPassedOver)
{
    const QString registered = copyOfLibrary();

    // A FIFO in its place: reading it would wait for a writer for ever.
    ASSERT_EQ(::mkfifo(QFile::encodeName(store()).constData(), 0600), 0);
    EXPECT_EQ(captionsFrom(options(programFolder())), beside());
    QFile::remove(store());

    // A link to a device without end.
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), store()));
    EXPECT_EQ(captionsFrom(options(programFolder())), beside());
    QFile::remove(store());

    // A store other users may write: its entries are not followed.
    writeStore(store(), registered);
    ASSERT_EQ(captionsFrom(options(programFolder())), canonical(registered));
    ASSERT_EQ(::chmod(QFile::encodeName(store()).constData(), 0666), 0);
    EXPECT_EQ(captionsFrom(options(programFolder())), beside());
}

TEST_F(VeerHostTest, TheUsersRegistrationGoesBeforeTheSystemsOne)
{
    const QString mine = copyOfLibrary(QStringLiteral("mine"));
    const QString system = copyOfLibrary(QStringLiteral("system-wide"));
    writeStore(systemStore(), system);
    EXPECT_EQ(captionsFrom(options(programFolder())), canonical(system));
    writeStore(store(), mine);
    EXPECT_EQ(captionsFrom(options(programFolder())), canonical(mine));
    // The system's registration serves when the user's cannot.
    QFile::remove(mine);
    EXPECT_EQ(captionsFrom(options(programFolder())), canonical(system));
}

} // namespace
} // namespace infil::ui
