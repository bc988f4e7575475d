// Feeds arbitrary text to the registration store's reader: the file lies in
// the user's folder, where anything may have written it. A read may refuse
// the text but must not crash; what it takes must write out and read back
// as the same store, and registering and unregistering on it must hold.

#include "core/Registration.h"

#include <RegistrationStore.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto store = platform::RegistrationStore::parse(text);
    if (!store)
        return 0;
    const std::string written = store->serialize();
    auto again = platform::RegistrationStore::parse(written);
    if (!again || again->serialize() != written)
        std::abort();
    veer::detail::registerIn(*store, "/opt/lib/libVeer12.so");
    if (!platform::findInprocServer(*store, "Veer12.Veer.1"))
        std::abort();
    veer::detail::unregisterIn(*store);
    if (platform::findInprocServer(*store, "Veer12.Veer.1"))
        std::abort();
    return 0;
}
