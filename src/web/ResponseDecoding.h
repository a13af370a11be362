#pragma once
#include <string>
#include <string_view>

namespace orvane {

// The text WebRequest returns for a response: when an HTML meta tag within the first 1024 bytes
// declares a charset other than "gbk" or "gb2312" (exact), the body bytes converted from it to GBK;
// otherwise, and when the charset is unknown or the conversion fails, the body text unchanged.
// bodyText is bodyBytes up to its first zero byte.
std::string DecodeResponseText(std::string_view bodyText, std::string_view bodyBytes);

}  // namespace orvane
