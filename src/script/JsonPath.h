#pragma once
// Member paths over a JSON value: names joined by "." and zero-based "[N]" indexes
// (data.list[0].title), read the way a script engine reads the same member-access chain.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/JsonReader.h"

namespace orvane::json_detail {

struct PathStep {
  std::string name;                        // UTF-8 member name; the decimal index for "[N]"
  std::optional<std::size_t> arrayIndex;   // set when the step can address an array element
};
using Path = std::vector<PathStep>;

// How a path is joined to the document: "." before it (dot), no "." before a leading "["
// (dotOrBracket), or nothing at all for an empty path (optional).
enum class PathRule { kDot, kDotOrBracket, kOptional };

// The steps of GBK `path` joined by `rule`, or nullopt when the joined chain is no valid
// member access (an empty name, a name starting with a digit, an unclosed bracket, ...).
// Besides names and indexes, a bracket may hold a quoted name: ["a b"] or ['a b'].
std::optional<Path> ParsePath(std::string_view path, PathRule rule);

// The outcome of reading a path: a value, a missing member (undefined), or an access through a
// missing or null member, which a script engine reports as an error.
struct Lookup {
  enum Kind { kValue, kMissing, kError } kind = kError;
  Json* value = nullptr;
};
Lookup Resolve(Json& root, const Path& path);

// The member or element `step` of `parent`, created when missing; nullptr when `parent` cannot
// hold it (not an object or array, a name on an array, an index too far beyond the end).
// A new member goes last; an element past the end first fills the gap with nulls.
Json* Slot(Json& parent, const PathStep& step);

// Removes member `step` of an object; an array element becomes null, as a deleted element reads.
void Remove(Json& parent, const PathStep& step);

}  // namespace orvane::json_detail
