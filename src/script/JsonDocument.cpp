#include "script/JsonDocument.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <utility>

#include "platform/CodePage.h"
#include "script/JsonPath.h"
#include "script/JsonReader.h"
#include "text/NumberText.h"

namespace orvane {

using json_detail::Json;
using json_detail::Lookup;
using json_detail::Path;
using json_detail::PathRule;
using json_detail::PathStep;

struct JsonDocument::Value {
  Json json = Json::object();
};

namespace {

std::string ToGbk(const std::string& utf8) { return codepage::Utf8ToGbk(utf8); }

std::string Dump(const Json& value) {
  try {
    return ToGbk(value.dump(-1, ' ', false, Json::error_handler_t::replace));
  } catch (...) {
    return {};
  }
}

// The value a setter stores: `text` as a string, or with asJson the JSON it holds (an empty text
// as an empty object when emptyIsObject). nullopt when the text is not JSON.
std::optional<json_detail::ParsedJson> SetterValue(std::string_view text, bool asJson, bool emptyIsObject = true) {
  if (!asJson) return json_detail::ParsedJson{Json(codepage::GbkToUtf8(text)), 0};
  if (text.empty() && emptyIsObject) return json_detail::ParsedJson{Json::object(), 1};
  return json_detail::ReadJson(codepage::GbkToUtf8(text));
}

// Stores `value` at the last step of `path` when everything before it is an object or array and
// the result stays within the nesting bound.
void Assign(Json& root, const Path& path, json_detail::ParsedJson value) {
  if (path.empty() || static_cast<int>(path.size()) + value.depth > json_detail::kMaxDepth) return;
  const Path parentPath(path.begin(), path.end() - 1);
  const Lookup parent = json_detail::Resolve(root, parentPath);
  if (parent.kind != Lookup::kValue) return;
  if (Json* slot = json_detail::Slot(*parent.value, path.back())) *slot = std::move(value.value);
}

PathStep IndexStep(long long index) {
  PathStep step{std::to_string(index), std::nullopt};
  if (index >= 0) step.arrayIndex = static_cast<std::size_t>(index);
  return step;
}

// A number read from a string member: the whole text (blanks around it aside) must be a decimal
// number, as a script engine's conversion requires.
double NumberFromString(const std::string& text) {
  std::size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return 0;
  const std::size_t end = text.find_last_not_of(" \t\r\n") + 1;
  if (text[begin] == '+') ++begin;
  double number = 0;
  const auto [stop, error] = std::from_chars(text.data() + begin, text.data() + end, number);
  if (error != std::errc() || stop != text.data() + end || !std::isfinite(number)) return 0;
  return number;
}

std::string TextOf(const Lookup& found) {
  if (found.kind != Lookup::kValue) return {};
  const Json& value = *found.value;
  switch (value.type()) {
    case Json::value_t::string:
      return ToGbk(value.get_ref<const Json::string_t&>());
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
    case Json::value_t::number_float:
      return FormatReal(value.get<double>());
    case Json::value_t::boolean:
      return value.get<bool>() ? "true" : "false";
    case Json::value_t::object:
    case Json::value_t::array:
      return Dump(value);
    default:
      return {};
  }
}

std::string JsonOf(const Lookup& found) { return found.kind == Lookup::kValue ? Dump(*found.value) : std::string(); }

}  // namespace

JsonDocument::JsonDocument() : value_(std::make_shared<Value>()) {}

JsonDocument::JsonDocument(std::shared_ptr<Value> value) : value_(std::move(value)) {}

void JsonDocument::Init() { value_ = std::make_shared<Value>(); }

bool JsonDocument::Parse(std::string_view text) {
  value_ = std::make_shared<Value>();
  std::optional<json_detail::ParsedJson> parsed = json_detail::ReadJson(codepage::GbkToUtf8(text));
  value_->json = parsed ? std::move(parsed->value) : Json(nullptr);
  return !value_->json.is_null();
}

std::string JsonDocument::ToJson() const { return Dump(value_->json); }

void JsonDocument::SetMember(std::string_view path, std::string_view value, bool asJson) {
  const std::optional<Path> steps = json_detail::ParsePath(path, PathRule::kDot);
  if (!steps) return;
  if (auto stored = SetterValue(value, asJson)) Assign(value_->json, *steps, std::move(*stored));
}

void JsonDocument::SetMemberJson(std::string_view path, std::string_view json) {
  const std::optional<Path> steps = json_detail::ParsePath(path, PathRule::kDot);
  if (!steps) return;
  if (auto stored = SetterValue(json, true, false)) Assign(value_->json, *steps, std::move(*stored));
}

void JsonDocument::SetMemberNumber(std::string_view path, double number) {
  const std::optional<Path> steps = json_detail::ParsePath(path, PathRule::kDot);
  if (!steps || !std::isfinite(number)) return;
  Assign(value_->json, *steps, {json_detail::NumberValue(number), 0});
}

double JsonDocument::GetNumber(std::string_view path) const {
  const std::optional<Path> steps = json_detail::ParsePath(path, PathRule::kDot);
  if (!steps) return 0;
  const Lookup found = json_detail::Resolve(value_->json, *steps);
  if (found.kind != Lookup::kValue) return 0;
  const Json& value = *found.value;
  if (value.is_number()) return value.get<double>();
  if (value.is_boolean()) return value.get<bool>() ? 1 : 0;
  if (value.is_string()) return NumberFromString(value.get_ref<const Json::string_t&>());
  return 0;
}

std::string JsonDocument::GetMemberJson(std::string_view path) const {
  const std::optional<Path> steps = json_detail::ParsePath(path, PathRule::kDot);
  return steps ? JsonOf(json_detail::Resolve(value_->json, *steps)) : std::string();
}

std::string JsonDocument::GetText(std::string_view path, bool asJson) const {
  const std::optional<Path> steps = json_detail::ParsePath(path, PathRule::kDotOrBracket);
  if (!steps) return {};
  const Lookup found = json_detail::Resolve(value_->json, *steps);
  return asJson ? JsonOf(found) : TextOf(found);
}

JsonDocument JsonDocument::GetDocument(std::string_view path) const {
  auto copy = std::make_shared<Value>();
  copy->json = nullptr;
  if (const std::optional<Path> steps = json_detail::ParsePath(path, PathRule::kDotOrBracket)) {
    const Lookup found = json_detail::Resolve(value_->json, *steps);
    if (found.kind == Lookup::kValue) copy->json = *found.value;
  }
  return JsonDocument(std::move(copy));
}

int JsonDocument::Count(std::string_view path) const {
  const std::optional<Path> steps =
      json_detail::ParsePath(path, path.empty() ? PathRule::kOptional : PathRule::kDotOrBracket);
  if (!steps) return 0;
  const Lookup found = json_detail::Resolve(value_->json, *steps);
  if (found.kind != Lookup::kValue || !found.value->is_structured()) return 0;
  return static_cast<int>(found.value->size());
}

void JsonDocument::Append(std::string_view value, std::string_view path, bool asJson) {
  const std::optional<Path> steps = json_detail::ParsePath(path, PathRule::kOptional);
  std::optional<json_detail::ParsedJson> stored = SetterValue(value, asJson);
  if (!steps || !stored || static_cast<int>(steps->size()) + 1 + stored->depth > json_detail::kMaxDepth) return;
  Json* target = &value_->json;
  if (!steps->empty()) {
    const Lookup parent = json_detail::Resolve(value_->json, Path(steps->begin(), steps->end() - 1));
    if (parent.kind != Lookup::kValue) return;
    target = json_detail::Slot(*parent.value, steps->back());
    if (target == nullptr) return;
  }
  if (!target->is_array()) *target = Json::array();
  target->push_back(std::move(stored->value));
}

JsonDocument JsonDocument::GetElementDocument(long long index, std::string_view path) const {
  auto copy = std::make_shared<Value>();
  copy->json = nullptr;
  if (std::optional<Path> steps = json_detail::ParsePath(path, PathRule::kOptional)) {
    steps->push_back(IndexStep(index));
    const Lookup found = json_detail::Resolve(value_->json, *steps);
    if (found.kind == Lookup::kValue) copy->json = *found.value;
  }
  return JsonDocument(std::move(copy));
}

std::string JsonDocument::GetElementText(long long index, std::string_view path, bool asJson) const {
  std::optional<Path> steps = json_detail::ParsePath(path, PathRule::kOptional);
  if (!steps) return {};
  steps->push_back(IndexStep(index));
  const Lookup found = json_detail::Resolve(value_->json, *steps);
  return asJson ? JsonOf(found) : TextOf(found);
}

void JsonDocument::SetElement(long long index, std::string_view value, bool asJson) {
  if (auto stored = SetterValue(value, asJson)) Assign(value_->json, Path{IndexStep(index)}, std::move(*stored));
}

void JsonDocument::RemoveElement(long long index) {
  Json& root = value_->json;
  if (!root.is_array()) return;
  auto& array = root.get_ref<Json::array_t&>();
  const auto size = static_cast<long long>(array.size());
  if (index < 0) index = index + size < 0 ? 0 : index + size;  // as splice counts from the end
  if (index >= size) return;
  array.erase(array.begin() + static_cast<std::ptrdiff_t>(index));
}

void JsonDocument::DeleteMember(std::string_view path) {
  const std::optional<Path> steps = json_detail::ParsePath(path, PathRule::kDot);
  if (!steps || steps->empty()) return;
  const Lookup parent = json_detail::Resolve(value_->json, Path(steps->begin(), steps->end() - 1));
  if (parent.kind == Lookup::kValue) json_detail::Remove(*parent.value, steps->back());
}

void JsonDocument::Reset(JsonType type) {
  if (type == JsonType::kNull || type == JsonType::kObject) value_->json = Json::object();
  if (type == JsonType::kArray) value_->json = Json::array();
}

void JsonDocument::SetValue(std::string_view value, bool asJson) {
  if (auto stored = SetterValue(value, asJson)) value_->json = std::move(stored->value);
}

void JsonDocument::Clear() { value_->json = Json::object(); }

bool JsonDocument::HasMember(std::string_view path) const {
  const std::optional<Path> steps = json_detail::ParsePath(path, PathRule::kDot);
  if (!steps) return false;
  const Lookup found = json_detail::Resolve(value_->json, *steps);
  return found.kind == Lookup::kValue && !found.value->is_null();
}

int JsonDocument::Keys(std::vector<std::string>& list, std::string_view path) const {
  list.clear();
  const std::optional<Path> steps = json_detail::ParsePath(path, PathRule::kOptional);
  if (!steps) return 0;
  const Lookup found = json_detail::Resolve(value_->json, *steps);
  if (found.kind != Lookup::kValue) return 0;
  const Json& value = *found.value;
  if (value.is_object()) {
    for (const auto& member : value.get_ref<const Json::object_t&>()) list.push_back(ToGbk(member.first));
  } else if (value.is_array()) {
    for (std::size_t i = 0; i < value.size(); ++i) list.push_back(std::to_string(i));
  }
  return static_cast<int>(list.size());
}

JsonType JsonDocument::TypeOf(std::string_view path) const {
  const std::optional<Path> steps = json_detail::ParsePath(path, PathRule::kOptional);
  if (!steps) return JsonType::kInvalid;
  const Lookup found = json_detail::Resolve(value_->json, *steps);
  if (found.kind == Lookup::kError) return JsonType::kInvalid;
  if (found.kind == Lookup::kMissing) return JsonType::kNull;
  switch (found.value->type()) {
    case Json::value_t::null:
      return JsonType::kNull;
    case Json::value_t::boolean:
      return JsonType::kBoolean;
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
    case Json::value_t::number_float:
      return JsonType::kNumber;
    case Json::value_t::object:
      return JsonType::kObject;
    case Json::value_t::array:
      return JsonType::kArray;
    case Json::value_t::string:
      return JsonType::kString;
    default:
      return JsonType::kInvalid;
  }
}

}  // namespace orvane
