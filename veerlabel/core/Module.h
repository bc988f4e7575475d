#pragma once
// Library-wide state: the count of live objects and server locks (the library
// may be unloaded when both are zero), and the hooks through which the Qt part
// of the library offers what the core cannot do without windows.

#include <Veer12/Veer12.h>

#include <atomic>
#include <cstdint>

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
