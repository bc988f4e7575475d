// The library as an in-process server: the class factories of Veer and
// VeerPage and the four exported entry points.

#include "Module.h"
#include "Registration.h"
#include "VeerControl.h"

#include <new>

namespace veer::detail {

namespace {

// One factory per class, alive as long as the library. Factories do not
// count as live objects: a host keeps the library loaded with LockServer.
class ClassFactory final : public IClassFactory {
public:
    using Create = Status (*)(const Guid& iid, void** out);
    explicit constexpr ClassFactory(Create create) : create_(create) {}

    Status QueryInterface(const Guid& iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    std::uint32_t AddRef() override { return 2; }
    std::uint32_t Release() override { return 1; }

    Status CreateInstance(IUnknown* outer, const Guid& iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        try {
            return create_(iid, out);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }
    Status LockServer(bool lock) override
    {
        lockServer(lock);
        return S_OK;
    }

private:
    Create create_;
};

Status createControl(const Guid& iid, void** out)
{
    ComPtr<VeerControl> control = VeerControl::create();
    return control->QueryInterface(iid, out);
}

Status createPage(const Guid& iid, void** out)
{
    if (!uiHooks().createPage)
        return E_NOTIMPL;
    ComPtr<IUnknown> page = ComPtr<IUnknown>::adopt(uiHooks().createPage());
    if (!page)
        return E_OUTOFMEMORY;
    return page->QueryInterface(iid, out);
}

ClassFactory g_veerFactory(&createControl);
ClassFactory g_pageFactory(&createPage);

} // namespace

} // namespace veer::detail

using namespace veer;

extern "C" {

Status DllGetClassObject(const Guid& clsid, const Guid& iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (clsid == CLSID_Veer)
        return detail::g_veerFactory.QueryInterface(iid, out);
    // The page needs the library's windows; a build without them offers no page.
    if (clsid == CLSID_VeerPage && detail::uiHooks().createPage)
        return detail::g_pageFactory.QueryInterface(iid, out);
    return CLASS_E_CLASSNOTAVAILABLE;
}

Status DllCanUnloadNow()
{
    return detail::liveObjects() == 0 && detail::serverLocks() == 0 ? S_OK : S_FALSE;
}

Status DllRegisterServer()
{
    try {
        return detail::registerServer(platform::registrationStorePath(), detail::modulePath());
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

Status DllUnregisterServer()
{
    try {
        return detail::unregisterServer(platform::registrationStorePath());
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

} // extern "C"
