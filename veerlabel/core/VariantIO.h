#pragma once
// Variants: their stored form and their conversion to a property's type, as a
// late-bound property set does before it calls the setter.

#include <Veer12/Veer12.h>

#include <cstdint>
#include <optional>
#include <string>

namespace veer::detail {

// Reads a 2-byte variant type and its value. A truncated value, a string
// longer than the stream, an unknown type or an object that cannot be loaded
// fail with E_FAIL.
Status readVariant(IStream* stream, Variant* value);
// Writes the variant type and the value.
Status writeVariant(IStream* stream, const Variant& value);

// Conversions; a value that does not fit or cannot be converted fails.
Status toI2(const Variant& v, std::int16_t* out);
Status toI4(const Variant& v, std::int32_t* out);
// Signed 32-bit values are taken bit for bit (colours are often passed so).
Status toUI4(const Variant& v, std::uint32_t* out);
Status toText(const Variant& v, std::optional<std::u16string>* out);
// DISPATCH or UNKNOWN holding a font, or holding nothing.
Status toFont(const Variant& v, ComPtr<IFont>* out);

} // namespace veer::detail
