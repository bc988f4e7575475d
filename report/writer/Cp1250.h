#pragma once
// Windows-1250, the code page of the report and of the description pages.
// The table comes from the C library's iconv once; the conversions themselves are
// plain lookups, so a page never fails to encode.

#include <string>
#include <string_view>

namespace infil::report {

// UTF-8 text to Windows-1250 bytes. A character the code page lacks becomes an
// HTML numeric character reference ("&#960;" for π), so it still shows in a
// browser; a byte that is not valid UTF-8 becomes "&#65533;".
std::string ToWindows1250(std::string_view utf8);

// Windows-1250 bytes to UTF-8. The five bytes the code page leaves unassigned
// become U+FFFD.
std::string FromWindows1250(std::string_view bytes);

} // namespace infil::report
