#include "Bytes.h"

#include <algorithm>

namespace veer::detail {

namespace {

// Upper limit of one read while gathering a long value.
constexpr std::uint32_t kChunk = 64 * 1024;

// Windows-1252 0x80..0x9F; bytes the code page leaves undefined map to the
// control character of the same number, as the platform does.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

bool StreamReader::bytes(void* out, std::uint32_t count)
{
    auto p = static_cast<std::uint8_t*>(out);
    while (count > 0) {
        std::uint32_t done = 0;
        if (failed(stream_->Read(p, count, &done)) || done == 0 || done > count)
            return false;
        p += done;
        count -= done;
    }
    return true;
}

bool StreamReader::u8(std::uint8_t* v) { return bytes(v, 1); }

bool StreamReader::u16(std::uint16_t* v)
{
    std::uint8_t b[2];
    if (!bytes(b, 2))
        return false;
    *v = static_cast<std::uint16_t>(b[0] | b[1] << 8);
    return true;
}

bool StreamReader::u32(std::uint32_t* v)
{
    std::uint8_t b[4];
    if (!bytes(b, 4))
        return false;
    *v = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
    return true;
}

bool StreamReader::u64(std::uint64_t* v)
{
    std::uint32_t lo, hi;
    if (!u32(&lo) || !u32(&hi))
        return false;
    *v = std::uint64_t(hi) << 32 | lo;
    return true;
}

bool StreamReader::guid(Guid* g)
{
    return u32(&g->data1) && u16(&g->data2) && u16(&g->data3) && bytes(g->data4, 8);
}

bool StreamReader::bytesInto(std::vector<std::uint8_t>* out, std::uint32_t count)
{
    out->clear();
    while (count > 0) {
        std::uint32_t n = std::min(count, kChunk);
        std::size_t at = out->size();
        out->resize(at + n);
        if (!bytes(out->data() + at, n))
            return false;
        count -= n;
    }
    return true;
}

Status StreamWriter::bytes(const void* data, std::uint32_t count)
{
    std::uint32_t done = 0;
    Status s = stream_->Write(data, count, &done);
    if (failed(s))
        return s;
    return done == count ? S_OK : E_FAIL;
}

Status StreamWriter::u16(std::uint16_t v)
{
    std::uint8_t b[2] = {std::uint8_t(v), std::uint8_t(v >> 8)};
    return bytes(b, 2);
}

Status StreamWriter::u32(std::uint32_t v)
{
    std::uint8_t b[4] = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
    return bytes(b, 4);
}

Status StreamWriter::u64(std::uint64_t v)
{
    Status s = u32(std::uint32_t(v));
    return failed(s) ? s : u32(std::uint32_t(v >> 32));
}

Status StreamWriter::guid(const Guid& g)
{
    Status s;
    if (failed(s = u32(g.data1)) || failed(s = u16(g.data2)) || failed(s = u16(g.data3)))
        return s;
    return bytes(g.data4, 8);
}

Status CountingStream::QueryInterface(const Guid& iid, void** out)
{
    if (!out)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IStream) {
        *out = static_cast<IStream*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

Status CountingStream::Read(void*, std::uint32_t, std::uint32_t* done)
{
    if (done)
        *done = 0;
    return E_NOTIMPL;
}

Status CountingStream::Write(const void*, std::uint32_t count, std::uint32_t* done)
{
    total += count;
    if (done)
        *done = count;
    return S_OK;
}

std::string toCodePage(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char16_t ch : text) {
        if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) {
            out.push_back(static_cast<char>(ch));
            continue;
        }
        const char16_t* hit = std::find(std::begin(kHigh), std::end(kHigh), ch);
        out.push_back(hit != std::end(kHigh) ? static_cast<char>(0x80 + (hit - kHigh)) : '?');
    }
    return out;
}

std::u16string fromCodePage(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        out.push_back(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b));
    }
    return out;
}

} // namespace veer::detail
