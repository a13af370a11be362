#pragma once
// Conversions at the edges of the program, all through ICU's code page 936 table
// ("windows-936-2000": 0x80 is the euro sign, "?" stands for what GBK lacks).
#include <optional>
#include <string>
#include <string_view>

namespace orvane::codepage {

std::u16string GbkToUtf16(std::string_view gbk);
std::string Utf16ToGbk(std::u16string_view utf16);
// Invalid UTF-8 becomes U+FFFD on the way in, and so "?" in GBK.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
std::string GbkToUtf8(std::string_view gbk);
std::string Utf8ToGbk(std::string_view utf8);

// Bytes in the named charset (as a page declares it) converted to GBK. "gbk", "gb2312", "cp936"
// and "x-gbk" in any letter case read as code page 936. nullopt when ICU does not know the name
// or the conversion fails.
std::optional<std::string> CharsetToGbk(std::string_view bytes, std::string_view charset);

}  // namespace orvane::codepage
