#include "VariantIO.h"

#include "Bytes.h"
#include "StdFont.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

namespace veer::detail {

namespace {

Status readString(StreamReader& in, std::optional<std::u16string>* out)
{
    std::uint32_t count;
    if (!in.u32(&count))
        return E_FAIL;
    if (count == 0) {
        out->reset();
        return S_OK;
    }
    // The count holds UTF-16 units and their 2-byte terminator.
    if (count < 2 || count % 2 != 0)
        return E_FAIL;
    std::vector<std::uint8_t> raw;
    if (!in.bytesInto(&raw, count))
        return E_FAIL;
    std::u16string text((count - 2) / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(raw[2 * i] | raw[2 * i + 1] << 8);
    *out = std::move(text);
    return S_OK;
}

Status writeString(StreamWriter& out, const std::optional<std::u16string>& text)
{
    if (!text)
        return out.u32(0);
    std::uint64_t count = (std::uint64_t(text->size()) + 1) * 2;
    if (count > std::numeric_limits<std::uint32_t>::max())
        return E_FAIL;
    Status s = out.u32(static_cast<std::uint32_t>(count));
    if (failed(s))
        return s;
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<std::size_t>(count));
    for (char16_t ch : *text) {
        raw.push_back(static_cast<std::uint8_t>(ch));
        raw.push_back(static_cast<std::uint8_t>(ch >> 8));
    }
    raw.push_back(0);
    raw.push_back(0);
    return out.bytes(raw.data(), static_cast<std::uint32_t>(raw.size()));
}

bool isIntegral(VarType t)
{
    switch (t) {
    case VT_I1: case VT_I2: case VT_I4: case VT_INT: case VT_UI1: case VT_UI2: case VT_UI4: case VT_UINT:
    case VT_BOOL:
        return true;
    default:
        return false;
    }
}

// Whole number of a numeric or textual variant; reals round half to even.
Status toInteger(const Variant& v, std::int64_t lo, std::int64_t hi, std::int64_t* out)
{
    double real;
    if (v.vt == VT_EMPTY) {
        *out = 0;
        return S_OK;
    }
    if (isIntegral(v.vt)) {
        if (v.integer < lo || v.integer > hi)
            return E_INVALIDARG;
        *out = v.integer;
        return S_OK;
    }
    switch (v.vt) {
    case VT_R4: case VT_R8: case VT_DATE:
        real = v.real;
        break;
    case VT_CY:
        real = static_cast<double>(v.integer) / 10000.0;
        break;
    case VT_BSTR: {
        if (!v.text || v.text->empty() || v.text->size() > 64)
            return E_INVALIDARG;
        std::string ascii;
        for (char16_t ch : *v.text) {
            if (ch > 0x7F)
                return E_INVALIDARG;
            ascii.push_back(static_cast<char>(ch));
        }
        std::size_t b = ascii.find_first_not_of(' ');
        std::size_t e = ascii.find_last_not_of(' ');
        if (b == std::string::npos)
            return E_INVALIDARG;
        const char* first = ascii.data() + b;
        const char* last = ascii.data() + e + 1;
        if (*first == '+')
            ++first;
        auto [p, ec] = std::from_chars(first, last, real);
        if (ec != std::errc() || p != last)
            return E_INVALIDARG;
        break;
    }
    default:
        return E_INVALIDARG;
    }
    if (!std::isfinite(real))
        return E_INVALIDARG;
    real = std::nearbyint(real);
    if (real < static_cast<double>(lo) || real > static_cast<double>(hi))
        return E_INVALIDARG;
    *out = static_cast<std::int64_t>(real);
    return S_OK;
}

} // namespace

Status readVariant(IStream* stream, Variant* value)
{
    StreamReader in(stream);
    std::uint16_t type;
    if (!in.u16(&type))
        return E_FAIL;
    Variant v;
    v.vt = static_cast<VarType>(type);
    try {
        switch (type) {
        case VT_I1: case VT_UI1: {
            std::uint8_t b;
            if (!in.u8(&b))
                return E_FAIL;
            v.integer = type == VT_I1 ? std::int64_t(std::int8_t(b)) : std::int64_t(b);
            break;
        }
        case VT_I2: case VT_BOOL: case VT_UI2: {
            std::uint16_t w;
            if (!in.u16(&w))
                return E_FAIL;
            v.integer = type == VT_UI2 ? std::int64_t(w) : std::int64_t(std::int16_t(w));
            break;
        }
        case VT_I4: case VT_ERROR: case VT_INT: case VT_UI4: case VT_UINT: {
            std::uint32_t d;
            if (!in.u32(&d))
                return E_FAIL;
            bool isUnsigned = type == VT_UI4 || type == VT_UINT;
            v.integer = isUnsigned ? std::int64_t(d) : std::int64_t(std::int32_t(d));
            break;
        }
        case VT_R4: {
            std::uint32_t d;
            if (!in.u32(&d))
                return E_FAIL;
            float f;
            std::memcpy(&f, &d, 4);
            v.real = f;
            break;
        }
        case VT_R8: case VT_DATE: case VT_CY: {
            std::uint64_t q;
            if (!in.u64(&q))
                return E_FAIL;
            if (type == VT_CY)
                v.integer = static_cast<std::int64_t>(q);
            else
                std::memcpy(&v.real, &q, 8);
            break;
        }
        case VT_BSTR:
            if (failed(readString(in, &v.text)))
                return E_FAIL;
            break;
        case VT_DISPATCH: case VT_UNKNOWN:
            if (failed(loadObject(stream, &v.object)))
                return E_FAIL;
            break;
        default:
            return E_FAIL;
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    *value = std::move(v);
    return S_OK;
}

Status writeVariant(IStream* stream, const Variant& v)
{
    StreamWriter out(stream);
    Status s = out.u16(v.vt);
    if (failed(s))
        return s;
    try {
        switch (v.vt) {
        case VT_I1: case VT_UI1:
            return out.u8(static_cast<std::uint8_t>(v.integer));
        case VT_I2: case VT_BOOL: case VT_UI2:
            return out.u16(static_cast<std::uint16_t>(v.integer));
        case VT_I4: case VT_ERROR: case VT_INT: case VT_UI4: case VT_UINT:
            return out.u32(static_cast<std::uint32_t>(v.integer));
        case VT_R4: {
            float f = static_cast<float>(v.real);
            std::uint32_t d;
            std::memcpy(&d, &f, 4);
            return out.u32(d);
        }
        case VT_R8: case VT_DATE: {
            std::uint64_t q;
            std::memcpy(&q, &v.real, 8);
            return out.u64(q);
        }
        case VT_CY:
            return out.u64(static_cast<std::uint64_t>(v.integer));
        case VT_BSTR:
            return writeString(out, v.text);
        case VT_DISPATCH: case VT_UNKNOWN:
            return saveObject(stream, v.object.get());
        default:
            return E_INVALIDARG;
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

Status toI2(const Variant& v, std::int16_t* out)
{
    std::int64_t n;
    Status s = toInteger(v, INT16_MIN, INT16_MAX, &n);
    if (succeeded(s))
        *out = static_cast<std::int16_t>(n);
    return s;
}

Status toI4(const Variant& v, std::int32_t* out)
{
    std::int64_t n;
    Status s = toInteger(v, INT32_MIN, INT32_MAX, &n);
    if (succeeded(s))
        *out = static_cast<std::int32_t>(n);
    return s;
}

Status toUI4(const Variant& v, std::uint32_t* out)
{
    std::int64_t n;
    Status s = toInteger(v, INT32_MIN, UINT32_MAX, &n);
    if (succeeded(s))
        *out = static_cast<std::uint32_t>(n);
    return s;
}

Status toText(const Variant& v, std::optional<std::u16string>* out)
{
    auto ascii = [](const char* b, const char* e) { return std::u16string(b, e); };
    char buf[64];
    try {
        if (v.vt == VT_BSTR) {
            *out = v.text;
            return S_OK;
        }
        if (v.vt == VT_EMPTY) {
            *out = std::u16string();
            return S_OK;
        }
        if (v.vt == VT_BOOL) {
            *out = v.integer ? u"True" : u"False";
            return S_OK;
        }
        if (isIntegral(v.vt)) {
            auto r = std::to_chars(buf, buf + sizeof buf, v.integer);
            *out = ascii(buf, r.ptr);
            return S_OK;
        }
        if (v.vt == VT_R4 || v.vt == VT_R8 || v.vt == VT_CY) {
            double d = v.vt == VT_CY ? static_cast<double>(v.integer) / 10000.0 : v.real;
            auto r = v.vt == VT_R4 ? std::to_chars(buf, buf + sizeof buf, static_cast<float>(d))
                                   : std::to_chars(buf, buf + sizeof buf, d);
            *out = ascii(buf, r.ptr);
            return S_OK;
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return E_INVALIDARG;
}

Status toFont(const Variant& v, ComPtr<IFont>* out)
{
    if (v.vt != VT_DISPATCH && v.vt != VT_UNKNOWN)
        return E_INVALIDARG;
    if (!v.object) {
        out->reset();
        return S_OK;
    }
    ComPtr<IFont> font = v.object.as<IFont>(IID_IFont);
    if (!font)
        return E_NOINTERFACE;
    *out = std::move(font);
    return S_OK;
}

} // namespace veer::detail
