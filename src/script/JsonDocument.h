#pragma once
// One JSON value read and changed by member path.
//
// Texts go in and come out as GBK; the value itself is held as UTF-8 (nlohmann::ordered_json, so
// members keep their document order). Parse reads JSON only and never evaluates anything.
//
// Paths are member names joined by "." with zero-based "[N]" indexes (data.list[0].title); a
// bracket may also hold a quoted name (["a b"]). Each operation joins its path to the document in
// one of these ways:
//   dot:            the path must start with a name; an empty path is no path.
//   dot-or-bracket: like dot, but a path may also start with "[" when the document is an array.
//   optional:       like dot, and an empty path means the document itself.
// Reading through a missing or null member, or a path that is not valid, is an error; a missing
// last member is merely missing. Every failure gives the operation's empty result ("" , 0, false,
// an empty list, or no change); nothing throws.
//
// Copies share one value: a change through one is seen through the others, until a copy calls
// Parse or Init, which give it a value of its own. Documents are not thread-safe; a document and
// its copies belong to one thread.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

enum class JsonType : int {
  kNull = 0,  // null, or a missing member
  kBoolean = 1,
  kNumber = 2,
  kObject = 4,
  kArray = 5,
  kString = 6,
  kInvalid = -1,  // a path that cannot be read
};

class JsonDocument {
 public:
  // An empty object.
  JsonDocument();

  // Starts afresh with an empty object, detached from any copy.
  void Init();

  // Replaces everything with the value that JSON `text` describes, detached from any copy. True
  // when that value is neither null nor missing; a text that is not JSON (empty, HTML, cut short)
  // leaves null and gives false.
  bool Parse(std::string_view text);

  // Compact JSON text of the document.
  std::string ToJson() const;

  // Sets a member (dot). Without asJson `value` is stored as a string; with asJson it is read as
  // JSON (an empty value as "{}"), and a value that is not JSON changes nothing. A missing last
  // member is added at the end; a missing or non-object member before it changes nothing.
  void SetMember(std::string_view path, std::string_view value, bool asJson = false);
  // As SetMember with asJson, but an empty value is no JSON and changes nothing.
  void SetMemberJson(std::string_view path, std::string_view json);
  // Stores a finite number; infinity and NaN change nothing.
  void SetMemberNumber(std::string_view path, double number);

  // A number member (dot); a string that holds nothing but a decimal number is read as one, true as 1;
  // anything else 0.
  double GetNumber(std::string_view path) const;
  // Compact JSON text of a member (dot); "" when missing.
  std::string GetMemberJson(std::string_view path) const;

  // Text of a member (dot-or-bracket): a string as it is, a number as "%.13g" (2 -> "2", 2.5 ->
  // "2.5"), true/false as "true"/"false", an object or array as its JSON text, null and missing as
  // "". With asJson, the member's compact JSON text ("" when missing).
  std::string GetText(std::string_view path, bool asJson = false) const;

  // An independent document holding a copy of a member (dot-or-bracket); missing gives a
  // document whose value is null, as after a failed Parse.
  JsonDocument GetDocument(std::string_view path) const;

  // Elements of an array or own members of an object (the document itself when the path is
  // empty, else dot-or-bracket); 0 for anything else.
  int Count(std::string_view path = {}) const;

  // Appends `value` (a string, or JSON with asJson) to the array at `path` (optional); a target
  // that is no array, or missing, first becomes an empty array.
  void Append(std::string_view value, std::string_view path = {}, bool asJson = false);

  // Element `index` (from 0) of the array at `path` (optional), as an independent document or as
  // text (the GetText forms). On an object, `index` names the member of that decimal name.
  JsonDocument GetElementDocument(long long index, std::string_view path = {}) const;
  std::string GetElementText(long long index, std::string_view path = {}, bool asJson = false) const;

  // Sets element `index` of the document (an array; past the end, the gap is filled with null).
  void SetElement(long long index, std::string_view value, bool asJson = false);
  // Removes element `index` of the document (an array); a negative index counts from the end.
  void RemoveElement(long long index);
  // Removes a member (dot); an array element becomes null.
  void DeleteMember(std::string_view path);

  // kNull or kObject: an empty object; kArray: an empty array; other codes change nothing.
  void Reset(JsonType type);
  // Replaces the whole value: `value` as a string, or as JSON with asJson (empty as "{}").
  void SetValue(std::string_view value, bool asJson = false);
  // An empty object.
  void Clear();

  // True when the member (dot) is neither missing nor null.
  bool HasMember(std::string_view path) const;

  // Replaces `list` with the member names of an object, in document order, or the indexes of an
  // array ("0", "1", ...), at `path` (optional); returns their number.
  int Keys(std::vector<std::string>& list, std::string_view path = {}) const;

  // Type of the value at `path` (optional): kNull for null and missing, kInvalid for a path that
  // cannot be read.
  JsonType TypeOf(std::string_view path = {}) const;

 private:
  struct Value;
  explicit JsonDocument(std::shared_ptr<Value> value);

  std::shared_ptr<Value> value_;
};

}  // namespace orvane
