#pragma once
// Little-endian reading and writing on a stream, and the 8-bit code page.
//
// A stream comes from outside: every read asks for exactly the bytes it needs
// and fails when fewer arrive. Byte counts found in the stream are never
// trusted for an allocation; long values are read in bounded chunks, so memory
// grows only with what the stream really delivers.

#include <Veer12/Veer12.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veer::detail {

class StreamReader {
public:
    explicit StreamReader(IStream* stream) : stream_(stream) {}

    // False when the stream ends early or fails.
    bool bytes(void* out, std::uint32_t count);
    bool u8(std::uint8_t* v);
    bool u16(std::uint16_t* v);
    bool u32(std::uint32_t* v);
    bool u64(std::uint64_t* v);
    bool guid(Guid* g);
    // count bytes, gathered chunk by chunk.
    bool bytesInto(std::vector<std::uint8_t>* out, std::uint32_t count);

private:
    IStream* stream_;
};

class StreamWriter {
public:
    explicit StreamWriter(IStream* stream) : stream_(stream) {}

    Status bytes(const void* data, std::uint32_t count);
    Status u8(std::uint8_t v) { return bytes(&v, 1); }
    Status u16(std::uint16_t v);
    Status u32(std::uint32_t v);
    Status u64(std::uint64_t v);
    Status guid(const Guid& g);

private:
    IStream* stream_;
};

// A stream that only counts what is written (for the size of a save).
class CountingStream final : public IStream {
public:
    Status QueryInterface(const Guid& iid, void** out) override;
    std::uint32_t AddRef() override { return 2; }
    std::uint32_t Release() override { return 1; }
    Status Read(void*, std::uint32_t, std::uint32_t* done) override;
    Status Write(const void*, std::uint32_t count, std::uint32_t* done) override;
    std::uint64_t total = 0;
};

// The 8-bit code page of stored face names (Windows-1252).
std::string toCodePage(std::u16string_view text);
std::u16string fromCodePage(std::string_view bytes);

} // namespace veer::detail
