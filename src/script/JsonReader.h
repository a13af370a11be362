#pragma once
// JSON text to an ordered value, in linear time and with bounded nesting.
#include <nlohmann/json.hpp>

#include <optional>
#include <string_view>

namespace orvane::json_detail {

using Json = nlohmann::ordered_json;

// Deeper values are refused: writing and copying a value recurse once per level.
inline constexpr int kMaxDepth = 512;

struct ParsedJson {
  Json value;
  int depth = 0;  // 0 for a scalar, 1 for a flat array or object
};

// The value that UTF-8 `text` describes, or nullopt when the text is not one JSON value (empty,
// cut short, trailing text, nested deeper than kMaxDepth). Members keep the order of the text; a
// repeated member name keeps its first place and takes its last value.
std::optional<ParsedJson> ReadJson(std::string_view text);

// A number as a script engine holds it: whole values within the 64-bit range become integers, so
// that they are written without a fraction.
Json NumberValue(double number);

}  // namespace orvane::json_detail
