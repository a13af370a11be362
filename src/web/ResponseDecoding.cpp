#include "web/ResponseDecoding.h"

#include "platform/CodePage.h"
#include "platform/MessagePump.h"
#include "script/RegexMatcher.h"

#include <algorithm>

namespace orvane {

std::string DecodeResponseText(std::string_view bodyText, std::string_view bodyBytes) {
  constexpr std::size_t kSearchedBytes = 1024;
  RegexMatcher matcher;
  // The tag and its charset on one line; one quote character may stand before the name.
  if (!matcher.Search(R"(<meta.+?charset=[^\w]?([-\w]+))", bodyText.substr(0, kSearchedBytes))) {
    return std::string(bodyText);
  }
  std::string text(bodyText);
  const std::string charset = matcher.SubMatchText(1, 1);
  if (!charset.empty() && charset != "gbk" && charset != "gb2312") {
    // An unknown name or a failed conversion keeps the body text rather than losing the page.
    if (std::optional<std::string> converted = codepage::CharsetToGbk(bodyBytes, charset)) {
      text = std::move(*converted);
      text.resize(std::min(text.size(), text.find('\0')));  // text ends at its first zero
    }
  }
  PumpPendingMessages();
  return text;
}

}  // namespace orvane
