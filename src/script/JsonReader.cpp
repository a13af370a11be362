#include "script/JsonReader.h"

#include <cmath>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace orvane::json_detail {
namespace {

// Builds the value from parser events. ordered_json's own parser looks every member name up with a
// linear search, which makes an object of n members cost n squared; here each open object keeps a
// hash index of its names instead.
class Builder {
 public:
  using number_integer_t = Json::number_integer_t;
  using number_unsigned_t = Json::number_unsigned_t;
  using number_float_t = Json::number_float_t;
  using string_t = Json::string_t;
  using binary_t = Json::binary_t;

  bool null() { return Put(Json(nullptr)) != nullptr; }
  bool boolean(bool value) { return Put(Json(value)) != nullptr; }
  bool number_integer(number_integer_t value) { return Put(Json(value)) != nullptr; }
  bool number_unsigned(number_unsigned_t value) { return Put(Json(value)) != nullptr; }
  bool number_float(number_float_t value, const string_t& /*text*/) { return Put(NumberValue(value)) != nullptr; }
  bool string(string_t& value) { return Put(Json(std::move(value))) != nullptr; }
  bool binary(binary_t& /*value*/) { return false; }
  bool start_object(std::size_t /*size*/) { return Open(Json::object()); }
  bool key(string_t& name) {
    frames_.back().key = std::move(name);
    return true;
  }
  bool end_object() { return Close(); }
  bool start_array(std::size_t /*size*/) { return Open(Json::array()); }
  bool end_array() { return Close(); }
  bool parse_error(std::size_t /*position*/, const std::string& /*token*/, const nlohmann::detail::exception& /*e*/) {
    return false;
  }

  ParsedJson Take() { return {std::move(root_), maxDepth_}; }

 private:
  struct Frame {
    Json* container;
    std::unordered_map<std::string, std::size_t> places;  // member name -> index in the object
    std::string key;
  };

  // Puts `value` where the parser stands and returns where it went. Pointers stay valid while
  // the value is open, because only the innermost open container grows.
  Json* Put(Json value) {
    if (frames_.empty()) {
      root_ = std::move(value);
      return &root_;
    }
    Frame& frame = frames_.back();
    if (frame.container->is_array()) {
      auto& array = frame.container->get_ref<Json::array_t&>();
      array.push_back(std::move(value));
      return &array.back();
    }
    auto& object = frame.container->get_ref<Json::object_t&>();
    const auto [place, added] = frame.places.try_emplace(frame.key, object.size());
    if (!added) {
      Json& slot = (object.begin() + static_cast<std::ptrdiff_t>(place->second))->second;
      slot = std::move(value);
      return &slot;
    }
    object.emplace_back(frame.key, std::move(value));
    return &object.back().second;
  }

  bool Open(Json container) {
    if (static_cast<int>(frames_.size()) >= kMaxDepth) return false;
    Json* placed = Put(std::move(container));
    frames_.push_back(Frame{placed, {}, {}});
    if (static_cast<int>(frames_.size()) > maxDepth_) maxDepth_ = static_cast<int>(frames_.size());
    return true;
  }

  bool Close() {
    frames_.pop_back();
    return true;
  }

  Json root_;
  std::vector<Frame> frames_;
  int maxDepth_ = 0;
};

}  // namespace

std::optional<ParsedJson> ReadJson(std::string_view text) {
  Builder builder;
  try {
    if (!Json::sax_parse(text, &builder)) return std::nullopt;
  } catch (...) {  // allocation failure: the text gives no value
    return std::nullopt;
  }
  return builder.Take();
}

Json NumberValue(double number) {
  constexpr double kTwoTo63 = 9223372036854775808.0;
  if (std::isfinite(number) && std::trunc(number) == number && number >= -kTwoTo63 && number < kTwoTo63) {
    return Json(static_cast<Json::number_integer_t>(number));
  }
  return Json(number);
}

}  // namespace orvane::json_detail
