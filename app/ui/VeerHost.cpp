#include "VeerHost.h"

#include <RegistrationStore.h>
#include <Veer12/Veer12.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLayout>
#include <QVBoxLayout>

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

struct Candidate {
    QString path;
    veer::Guid clsid;
};

} // namespace

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

bool VeerHost::loadLibrary()
{
    if (library_)
        return true;
    std::vector<Candidate> candidates;
    const std::string storeFile =
        options_.registryFile.empty() ? platform::registrationStorePath() : options_.registryFile;
    platform::RegistrationStore store;
    if (platform::RegistrationStore::load(storeFile, &store) == platform::RegistrationStore::LoadResult::Loaded)
        if (auto server = platform::findInprocServer(store, kProgId)) {
            const QString path = QString::fromStdString(server->library);
            if (auto clsid = veer::parseGuid(server->clsid); clsid && QFileInfo(path).isFile())
                candidates.push_back({path, *clsid});
        }
    const QString folder =
        options_.programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : options_.programFolder;
    const QString beside = programsLibrary(folder);
    if (candidates.empty() || QFileInfo(candidates.front().path).canonicalFilePath() != QFileInfo(beside).canonicalFilePath())
        candidates.push_back({beside, veer::CLSID_Veer});

    error_ = QStringLiteral("no Veer12 library found");
    for (const Candidate& candidate : candidates) {
        if (!QFileInfo(candidate.path).isFile()) {
            error_ = candidate.path + QStringLiteral(": no such file");
            continue;
        }
        void* handle = ::dlopen(QFile::encodeName(candidate.path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* why = ::dlerror();
            error_ = QString::fromLocal8Bit(why ? why : "cannot load");
            continue;
        }
        auto getClassObject =
            reinterpret_cast<veer::DllGetClassObjectFn>(::dlsym(handle, veer::kDllGetClassObject));
        auto canUnloadNow = reinterpret_cast<veer::DllCanUnloadNowFn>(::dlsym(handle, veer::kDllCanUnloadNow));
        veer::ComPtr<veer::IClassFactory> factory;
        if (!getClassObject || !canUnloadNow ||
            veer::failed(getClassObject(candidate.clsid, veer::IID_IClassFactory,
                                        reinterpret_cast<void**>(factory.put()))) ||
            !factory) {
            error_ = candidate.path + QStringLiteral(": no class factory of Veer");
            factory.reset();
            ::dlclose(handle);
            continue;
        }
        factory->LockServer(true);
        library_ = std::make_unique<Library>();
        library_->handle = handle;
        library_->path = candidate.path;
        library_->canUnloadNow = canUnloadNow;
        library_->factory = std::move(factory);
        error_.clear();
        return true;
    }
    return false;
}

bool VeerHost::createCaptions(const std::array<QWidget*, kCaptions>& parents)
{
    release();
    initGuideResources();
    if (!loadLibrary())
        return false;
    int made = 0;
    for (int i = 0; i < kCaptions; ++i) {
        QWidget* parent = parents[static_cast<std::size_t>(i)];
        if (!parent)
            continue;
        QFile file(QString::fromLatin1(kStreams[i]));
        if (!file.open(QIODevice::ReadOnly)) {
            error_ = file.fileName() + QStringLiteral(": missing");
            continue;
        }
        const QByteArray bytes = file.readAll();
        veer::ComPtr<veer::IPersistStreamInit> persist;
        if (veer::failed(library_->factory->CreateInstance(nullptr, veer::IID_IPersistStreamInit,
                                                           reinterpret_cast<void**>(persist.put()))) ||
            !persist) {
            error_ = QStringLiteral("the class factory made no control");
            continue;
        }
        auto stream = veer::MemoryStream::create(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        const veer::Status loaded = persist->Load(stream.get());
        auto viewer = persist.as<veer::IVeerQtView>(veer::IID_IVeerQtView);
        QWidget* view = nullptr;
        if (veer::failed(loaded) || !viewer || veer::failed(viewer->CreateView(parent, &view)) || !view) {
            error_ = file.fileName() + QStringLiteral(": the control did not come up");
            continue;
        }
        view->setObjectName(QStringLiteral("Veer%1").arg(i));
        // The caption fills the place the window gives it.
        QLayout* layout = parent->layout();
        if (!layout) {
            layout = new QVBoxLayout(parent);
            layout->setContentsMargins(0, 0, 0, 0);
        }
        layout->addWidget(view);
        view->show();
        library_->controls[static_cast<std::size_t>(i)] = persist.as<veer::IUnknown>(veer::IID_IUnknown);
        views_[static_cast<std::size_t>(i)] = view;
        ++made;
    }
    return made == kCaptions;
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
