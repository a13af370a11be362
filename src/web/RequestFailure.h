#pragma once
#include <string_view>

namespace orvane {

// True when WebRequest failed: it wrote one of its numbered messages (700 to 713), or it never
// reached the response headers. An HTTP error status such as "404 Not Found" is an answer, not a failure.
inline bool IsRequestFailure(std::string_view statusText) { return statusText.empty() || statusText.front() == '7'; }

}  // namespace orvane
