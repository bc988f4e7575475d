#include "Module.h"

#include <cstdio>

namespace veer::detail {

namespace {
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
} // namespace

void objectCreated() { ++g_objects; }
void objectDestroyed() { --g_objects; }
long liveObjects() { return g_objects.load(); }

void lockServer(bool lock)
{
    if (lock)
        ++g_locks;
    else if (g_locks.load() > 0)
        --g_locks;
}
long serverLocks() { return g_locks.load(); }

UiHooks& uiHooks()
{
    static UiHooks hooks;
    return hooks;
}

} // namespace veer::detail

namespace veer {

std::string statusName(Status s)
{
    switch (s) {
    case S_OK: return "S_OK";
    case S_FALSE: return "S_FALSE";
    case E_NOTIMPL: return "E_NOTIMPL";
    case E_NOINTERFACE: return "E_NOINTERFACE";
    case E_POINTER: return "E_POINTER";
    case E_FAIL: return "E_FAIL";
    case E_UNEXPECTED: return "E_UNEXPECTED";
    case E_OUTOFMEMORY: return "E_OUTOFMEMORY";
    case E_INVALIDARG: return "E_INVALIDARG";
    case CLASS_E_NOAGGREGATION: return "CLASS_E_NOAGGREGATION";
    case CLASS_E_CLASSNOTAVAILABLE: return "CLASS_E_CLASSNOTAVAILABLE";
    case SELFREG_E_TYPELIB: return "SELFREG_E_TYPELIB";
    case SELFREG_E_CLASS: return "SELFREG_E_CLASS";
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(s));
    return buf;
}

std::string guidToString(const Guid& g)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.data1, g.data2,
                  g.data3, g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6],
                  g.data4[7]);
    return buf;
}

} // namespace veer
