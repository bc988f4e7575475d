#include "VeerHost.h"

#include <RegistrationStore.h>
#include <Veer12/Veer12.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLayout>
#include <QPainter>
#include <QVBoxLayout>
#include <QtGlobal>

#include <dlfcn.h>

#include <vector>

// The guide's caption streams are resources of this static library.
static void initGuideResources()
{
    Q_INIT_RESOURCE(guide);
}

namespace infil::ui {

namespace {

constexpr const char* kProgId = "Veer12.Veer.1";
constexpr const char* kLibraryFile = "libVeer12.so";
// In control-array order.
constexpr const char* kStreams[VeerHost::kCaptions] = {":/guide/hodne.veer", ":/guide/vhodnych-ploch.veer",
                                                       ":/guide/malo.veer"};

// The library that came with the program: beside it in the build tree, in
// the library folder of the same prefix once installed.
QString programsLibrary(const QString& programFolder)
{
    const QString beside = QFileInfo(programFolder + QLatin1Char('/') + QLatin1String(kLibraryFile)).absoluteFilePath();
    const QString installed = QFileInfo(programFolder + QStringLiteral("/" INFIL_LIB_FROM_BIN "/" VEER12_RUNTIME_FILE))
                                  .absoluteFilePath();
    return QFileInfo(beside).isFile() || !QFileInfo(installed).isFile() ? beside : installed;
}

// What a plain caption shows when no library makes the control: the texts
// the stored streams carry, turned a quarter to read upwards.
struct PlainText {
    const char* text;
    bool bold;
};
constexpr PlainText kPlainTexts[VeerHost::kCaptions] = {
    {"hodně", false}, {"Vhodných ploch k dispozici", true}, {"málo", false}};

class PlainCaption : public QWidget {
public:
    PlainCaption(const PlainText& text, QWidget* parent)
        : QWidget(parent), text_(QString::fromUtf8(text.text)), bold_(text.bold)
    {
        setObjectName(QStringLiteral("PlainCaption"));
        setAccessibleName(text_);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QFont f = font();
        f.setBold(bold_);
        painter.setFont(f);
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.translate(0, height());
        painter.rotate(-90);
        painter.drawText(QRect(0, 0, height(), width()), Qt::AlignCenter, text_);
    }

private:
    QString text_;
    bool bold_;
};

void fill(QWidget* parent, QWidget* view)
{
    QLayout* layout = parent->layout();
    if (!layout) {
        layout = new QVBoxLayout(parent);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    layout->addWidget(view);
    view->show();
}

} // namespace

struct VeerHost::Candidate {
    QString path;
    veer::Guid clsid;
};

// A loaded server library and the class factory of its control.
struct VeerHost::Library {
    void* handle = nullptr;
    QString path;
    veer::DllCanUnloadNowFn canUnloadNow = nullptr;
    veer::ComPtr<veer::IClassFactory> factory;
    std::array<veer::ComPtr<veer::IUnknown>, kCaptions> controls{};

    ~Library()
    {
        for (auto& control : controls)
            control.reset();
        if (factory) {
            factory->LockServer(false);
            factory.reset();
        }
        // While any of its objects lives (someone else may hold one), the
        // library stays loaded: unloading it would pull code from under them.
        if (handle && canUnloadNow && canUnloadNow() == veer::S_OK)
            ::dlclose(handle);
    }
};

VeerHost::VeerHost() : VeerHost(Options{}) {}

VeerHost::VeerHost(Options options) : options_(std::move(options)) {}

VeerHost::~VeerHost()
{
    release();
}

void VeerHost::passOver(const QString& why)
{
    qWarning("Veer12: %s", qUtf8Printable(why));
    error_ += (error_.isEmpty() ? QString() : QStringLiteral("; ")) + why;
}

// The registered libraries (the user's, then the system's), then the one
// beside the program.
std::vector<VeerHost::Candidate> VeerHost::candidates()
{
    std::vector<Candidate> list;
    const std::vector<std::string> stores{
        options_.registryFile.empty() ? platform::registrationStorePath() : options_.registryFile,
        options_.systemRegistryFile.empty() ? platform::systemRegistrationStorePath() : options_.systemRegistryFile};
    std::vector<std::string> problems;
    for (const platform::InprocServer& server : platform::findInprocServers(kProgId, stores, &problems)) {
        if (auto clsid = veer::parseGuid(server.clsid))
            list.push_back({QFile::decodeName(server.library.c_str()), *clsid});
        else
            problems.push_back(server.library + ": the class " + server.clsid + " is no class identifier");
    }
    for (const std::string& problem : problems)
        passOver(QString::fromStdString(problem));

    const QString folder =
        options_.programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : options_.programFolder;
    const QString beside = programsLibrary(folder);
    bool registered = false;
    for (const Candidate& c : list)
        registered = registered || QFileInfo(c.path).canonicalFilePath() == QFileInfo(beside).canonicalFilePath();
    if (!registered)
        list.push_back({beside, veer::CLSID_Veer});
    return list;
}

std::unique_ptr<VeerHost::Library> VeerHost::loadLibrary(const Candidate& candidate)
{
    // Only a regular file: opening anything else (a FIFO) could wait forever.
    if (!QFileInfo(candidate.path).isFile()) {
        passOver(candidate.path + QStringLiteral(": no such file"));
        return nullptr;
    }
    void* handle = ::dlopen(QFile::encodeName(candidate.path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        passOver(QString::fromLocal8Bit(why ? why : "cannot load"));
        return nullptr;
    }
    auto getClassObject = reinterpret_cast<veer::DllGetClassObjectFn>(::dlsym(handle, veer::kDllGetClassObject));
    auto canUnloadNow = reinterpret_cast<veer::DllCanUnloadNowFn>(::dlsym(handle, veer::kDllCanUnloadNow));
    veer::ComPtr<veer::IClassFactory> factory;
    if (!getClassObject || !canUnloadNow ||
        veer::failed(getClassObject(candidate.clsid, veer::IID_IClassFactory, reinterpret_cast<void**>(factory.put()))) ||
        !factory) {
        passOver(candidate.path + QStringLiteral(": no class factory of Veer"));
        factory.reset();
        ::dlclose(handle);
        return nullptr;
    }
    factory->LockServer(true);
    auto library = std::make_unique<Library>();
    library->handle = handle;
    library->path = candidate.path;
    library->canUnloadNow = canUnloadNow;
    library->factory = std::move(factory);
    return library;
}

// False as soon as the library fails to make a caption.
bool VeerHost::createControls(Library& library, const std::array<QWidget*, kCaptions>& parents)
{
    for (int i = 0; i < kCaptions; ++i) {
        QWidget* parent = parents[static_cast<std::size_t>(i)];
        if (!parent)
            continue;
        QFile file(QString::fromLatin1(kStreams[i]));
        if (!file.open(QIODevice::ReadOnly)) {
            passOver(file.fileName() + QStringLiteral(": missing"));
            return false;
        }
        const QByteArray bytes = file.readAll();
        veer::ComPtr<veer::IPersistStreamInit> persist;
        if (veer::failed(library.factory->CreateInstance(nullptr, veer::IID_IPersistStreamInit,
                                                         reinterpret_cast<void**>(persist.put()))) ||
            !persist) {
            passOver(library.path + QStringLiteral(": the class factory made no control"));
            return false;
        }
        auto stream = veer::MemoryStream::create(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        const veer::Status loaded = persist->Load(stream.get());
        auto viewer = persist.as<veer::IVeerQtView>(veer::IID_IVeerQtView);
        QWidget* view = nullptr;
        if (veer::failed(loaded) || !viewer || veer::failed(viewer->CreateView(parent, &view)) || !view) {
            passOver(library.path + QStringLiteral(": the control of ") + file.fileName() +
                     QStringLiteral(" did not come up"));
            return false;
        }
        view->setObjectName(QStringLiteral("Veer%1").arg(i));
        fill(parent, view); // the caption fills the place the window gives it
        library.controls[static_cast<std::size_t>(i)] = persist.as<veer::IUnknown>(veer::IID_IUnknown);
        views_[static_cast<std::size_t>(i)] = view;
    }
    return true;
}

void VeerHost::createPlainCaptions(const std::array<QWidget*, kCaptions>& parents)
{
    for (int i = 0; i < kCaptions; ++i)
        if (QWidget* parent = parents[static_cast<std::size_t>(i)]) {
            auto* view = new PlainCaption(kPlainTexts[i], parent);
            fill(parent, view);
            views_[static_cast<std::size_t>(i)] = view;
        }
}

bool VeerHost::createCaptions(const std::array<QWidget*, kCaptions>& parents)
{
    release();
    initGuideResources();
    error_.clear();
    for (const Candidate& candidate : candidates()) {
        library_ = loadLibrary(candidate);
        if (library_ && createControls(*library_, parents))
            return true;
        release(); // what this library made goes with it
    }
    passOver(QStringLiteral("no library makes the captions; they are drawn plain"));
    createPlainCaptions(parents);
    return false;
}

QWidget* VeerHost::caption(int index) const
{
    return index >= 0 && index < kCaptions ? views_[static_cast<std::size_t>(index)].data() : nullptr;
}

QString VeerHost::libraryPath() const
{
    return library_ ? library_->path : QString();
}

bool VeerHost::libraryLoaded() const
{
    return library_ != nullptr;
}

QString VeerHost::lastError() const
{
    return error_;
}

void VeerHost::release()
{
    // The views hold references on their controls and run the library's
    // code: they go first.
    for (auto& view : views_) {
        delete view.data();
        view.clear();
    }
    library_.reset();
}

} // namespace infil::ui
