#pragma once
// Library-wide state: the count of live objects and server locks (the library
// may be unloaded when both are zero), and the hooks through which the Qt part
// of the library offers what the core cannot do without windows. Also the
// reference counting and sink lists the library's objects share.

#include <Veer12/Veer12.h>

#include <atomic>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

namespace veer::detail {

void objectCreated();
void objectDestroyed();
long liveObjects();
void lockServer(bool lock);
long serverLocks();

// Counts one live object for as long as it exists.
struct LiveObject {
    LiveObject() { objectCreated(); }
    LiveObject(const LiveObject&) { objectCreated(); }
    LiveObject& operator=(const LiveObject&) = default;
    ~LiveObject() { objectDestroyed(); }
};

// Reference count shared by every interface of one object.
class RefCount {
public:
    std::uint32_t addRef() { return ++refs_; }
    std::uint32_t release() { return --refs_; }

private:
    std::atomic<std::uint32_t> refs_{1};
};

// An object with one interface besides IUnknown: it answers for both, counts
// its references (one on creation) and a live object, and deletes itself at
// the last Release.
template <class Interface, const Guid& Iid>
class SimpleObject : public Interface, private LiveObject {
public:
    Status QueryInterface(const Guid& iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == Iid) {
            *out = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    std::uint32_t AddRef() override { return refs_.addRef(); }
    std::uint32_t Release() override
    {
        std::uint32_t r = refs_.release();
        if (r == 0)
            delete this;
        return r;
    }

protected:
    SimpleObject() = default;
    virtual ~SimpleObject() = default;

private:
    RefCount refs_;
};

// Sinks connected to an object, each known by the cookie it was given.
template <class Sink>
class SinkList {
public:
    // Cookies come from the counter given, which the object's other lists may
    // share, so that one cookie never names two connections of one object.
    explicit SinkList(std::uint32_t& nextCookie) : nextCookie_(nextCookie) {}
    SinkList(const SinkList&) = delete;
    SinkList& operator=(const SinkList&) = delete;

    Status advise(Sink* sink, std::uint32_t* cookie)
    {
        if (!sink || !cookie)
            return E_POINTER;
        try {
            sinks_.emplace_back(nextCookie_, sink);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        *cookie = nextCookie_++;
        return S_OK;
    }
    Status unadvise(std::uint32_t cookie)
    {
        for (auto it = sinks_.begin(); it != sinks_.end(); ++it)
            if (it->first == cookie) {
                sinks_.erase(it);
                return S_OK;
            }
        return E_INVALIDARG;
    }
    // The sinks connected now; a sink may unadvise while it is called, so
    // callers walk this copy rather than the list.
    std::vector<ComPtr<Sink>> snapshot() const
    {
        std::vector<ComPtr<Sink>> sinks;
        sinks.reserve(sinks_.size());
        for (const auto& entry : sinks_)
            sinks.push_back(entry.second);
        return sinks;
    }

private:
    std::uint32_t& nextCookie_;
    std::vector<std::pair<std::uint32_t, ComPtr<Sink>>> sinks_;
};

// Set by the Qt part of the library when it is loaded; null in a core-only build.
struct UiHooks {
    // The About box, modal over the active window.
    Status (*aboutBox)(IVeer* control) = nullptr;
    // The control's property pages in a property frame, modal over the active window.
    Status (*propertyFrame)(IVeer* control) = nullptr;
    IUnknown* (*createQtView)(IVeer* control) = nullptr; // a new reference, or null
    // A new VeerPage object (a new reference), or null.
    IUnknown* (*createPage)() = nullptr;
};
UiHooks& uiHooks();

} // namespace veer::detail
