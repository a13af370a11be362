#pragma once
#include <string>
#include <string_view>

namespace orvane {

// Leading blanks (0x20 or the full-width blank) skipped, full-width digits and signs read as ASCII,
// an optional sign, then decimal digits up to the first other character; 0 when there are none.
// Saturates instead of overflowing.
long long ReadWholeNumber(std::string_view text);

// A real number in the form of "%.13g".
std::string FormatReal(double value);

}  // namespace orvane
