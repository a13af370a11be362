#include "script/JsonPath.h"

#include "platform/CodePage.h"

namespace orvane::json_detail {
namespace {

// An element this far past the end of an array is not created: a script engine keeps such an
// array sparse, while here every gap element takes memory.
constexpr std::size_t kMaxGap = 65536;

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsDoubleByteLead(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// "0" or a decimal without leading zero, as an array index.
std::optional<std::size_t> CanonicalIndex(std::string_view digits) {
  if (digits.empty() || digits.size() > 15 || (digits.size() > 1 && digits[0] == '0')) return std::nullopt;
  std::size_t index = 0;
  for (const char c : digits) {
    if (!IsDigit(c)) return std::nullopt;
    index = index * 10 + static_cast<std::size_t>(c - '0');
  }
  return index;
}

class PathParser {
 public:
  explicit PathParser(std::string_view chain) : chain_(chain) {}

  std::optional<Path> Run() {
    Path path;
    while (pos_ < chain_.size()) {
      std::optional<PathStep> step = chain_[pos_] == '.' ? Name() : chain_[pos_] == '[' ? Bracket() : std::nullopt;
      if (!step) return std::nullopt;
      path.push_back(std::move(*step));
    }
    return path;
  }

 private:
  // "." then an identifier: letters, digits, "_" and "$", not starting with a digit; a double-byte
  // character counts as a letter.
  std::optional<PathStep> Name() {
    const std::size_t start = ++pos_;
    while (pos_ < chain_.size()) {
      const char c = chain_[pos_];
      if (IsDoubleByteLead(c)) {
        if (pos_ + 1 >= chain_.size()) return std::nullopt;
        pos_ += 2;
      } else if (IsAsciiLetter(c) || IsDigit(c) || c == '_' || c == '$') {
        ++pos_;
      } else {
        break;
      }
    }
    if (pos_ == start || IsDigit(chain_[start])) return std::nullopt;
    return PathStep{codepage::GbkToUtf8(chain_.substr(start, pos_ - start)), std::nullopt};
  }

  // "[" digits "]" or "[" quoted name "]".
  std::optional<PathStep> Bracket() {
    ++pos_;
    if (pos_ >= chain_.size()) return std::nullopt;
    PathStep step;
    const char open = chain_[pos_];
    if (open == '"' || open == '\'') {
      const std::size_t start = ++pos_;
      while (pos_ < chain_.size() && chain_[pos_] != open) {
        if (chain_[pos_] == '\\') return std::nullopt;  // escapes are not read
        pos_ += IsDoubleByteLead(chain_[pos_]) ? 2 : 1;
      }
      if (pos_ >= chain_.size()) return std::nullopt;
      const std::string_view name = chain_.substr(start, pos_ - start);
      ++pos_;
      step = PathStep{codepage::GbkToUtf8(name), CanonicalIndex(name)};
    } else {
      const std::size_t start = pos_;
      while (pos_ < chain_.size() && IsDigit(chain_[pos_])) ++pos_;
      const std::string_view digits = chain_.substr(start, pos_ - start);
      if (digits.empty() || (digits.size() > 1 && digits[0] == '0')) return std::nullopt;
      // A huge index names no element but is still a valid member name.
      step = PathStep{std::string(digits), CanonicalIndex(digits)};
    }
    if (pos_ >= chain_.size() || chain_[pos_] != ']') return std::nullopt;
    ++pos_;
    return step;
  }

  std::string_view chain_;
  std::size_t pos_ = 0;
};

}  // namespace

std::optional<Path> ParsePath(std::string_view path, PathRule rule) {
  if (rule == PathRule::kOptional && path.empty()) return Path{};
  if (rule == PathRule::kDotOrBracket && !path.empty() && path[0] == '[') return PathParser(path).Run();
  std::string chain = ".";
  chain += path;
  return PathParser(chain).Run();
}

Lookup Resolve(Json& root, const Path& path) {
  Json* current = &root;
  for (const PathStep& step : path) {
    // Reading a member of undefined or null is an error; of a string, number or boolean, undefined.
    if (current == nullptr || current->is_null()) return {Lookup::kError, nullptr};
    Json* next = nullptr;
    if (current->is_object()) {
      auto& object = current->get_ref<Json::object_t&>();
      const auto found = object.find(step.name);
      if (found != object.end()) next = &found->second;
    } else if (current->is_array()) {
      auto& array = current->get_ref<Json::array_t&>();
      if (step.arrayIndex && *step.arrayIndex < array.size()) next = &array[*step.arrayIndex];
    }
    current = next;
  }
  if (current == nullptr) return {Lookup::kMissing, nullptr};
  return {Lookup::kValue, current};
}

Json* Slot(Json& parent, const PathStep& step) {
  if (parent.is_object()) {
    auto& object = parent.get_ref<Json::object_t&>();
    const auto found = object.find(step.name);
    if (found != object.end()) return &found->second;
    object.emplace_back(step.name, Json());
    return &object.back().second;
  }
  if (parent.is_array() && step.arrayIndex) {
    auto& array = parent.get_ref<Json::array_t&>();
    const std::size_t index = *step.arrayIndex;
    if (index >= array.size()) {
      if (index - array.size() > kMaxGap) return nullptr;
      array.resize(index + 1);
    }
    return &array[index];
  }
  return nullptr;
}

void Remove(Json& parent, const PathStep& step) {
  if (parent.is_object()) {
    parent.get_ref<Json::object_t&>().erase(step.name);
  } else if (parent.is_array() && step.arrayIndex) {
    auto& array = parent.get_ref<Json::array_t&>();
    if (*step.arrayIndex < array.size()) array[*step.arrayIndex] = nullptr;
  }
}

}  // namespace orvane::json_detail
