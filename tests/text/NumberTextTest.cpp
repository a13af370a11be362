#include "text/NumberText.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace orvane {
namespace {

TEST(ReadWholeNumber, Cases) {
  const std::vector<std::pair<std::string, long long>> cases = {
      {"", 0},
      {"abc", 0},
      {"12", 12},
      {"  12abc", 12},
      {"+7", 7},
      {"-7", -7},
      {"- 7", 0},
      {"3.9", 3},
      {"\xA3\xB1\xA3\xB2", 12},              // full-width 1 2
      {"\xA3\xAD\xA3\xB3", -3},              // full-width minus, full-width 3
      {"\xA1\xA1\xA3\xB5", 5},               // full-width blank, full-width 5
      {"1\xA3\xB2" "3", 123},                // digits of both widths in one run
      {"\t5", 0},                            // a tab is no blank
      {"\xD6\xD0" "5", 0},                   // a Chinese character stops the reading
      {"99999999999999999999", LLONG_MAX},   // saturates
      {"-99999999999999999999", LLONG_MIN},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(ReadWholeNumber(text), expected) << text;
}

TEST(FormatReal, LikePrintfPoint13g) {
  const std::vector<std::pair<double, std::string>> cases = {
      {0, "0"},        {2, "2"},           {2.5, "2.5"}, {9999999999999, "9999999999999"},
      {1e13, "1e+13"}, {1e14, "1e+14"}, {-0.1, "-0.1"},    {1.0 / 3, "0.3333333333333"},
  };
  for (const auto& [value, expected] : cases) EXPECT_EQ(FormatReal(value), expected) << value;
}

}  // namespace
}  // namespace orvane
