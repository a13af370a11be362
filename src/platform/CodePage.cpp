#include "platform/CodePage.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <memory>

namespace orvane::codepage {
namespace {

constexpr char kCodePage936[] = "windows-936-2000";
constexpr UChar32 kReplacementCharacter = 0xFFFD;

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter Open(const char* name) {
  UErrorCode status = U_ZERO_ERROR;
  Converter converter(ucnv_open(name, &status));
  if (U_FAILURE(status)) return nullptr;
  return converter;
}

// Converters are not thread-safe; each thread keeps its own code page 936 converter.
UConverter* Gbk() {
  thread_local Converter converter = [] {
    Converter opened = Open(kCodePage936);
    // Best-fit mappings, as the Windows conversion applies them (a superscript two becomes "2").
    if (opened) ucnv_setFallback(opened.get(), true);
    return opened;
  }();
  return converter.get();
}

std::u16string ToUtf16(UConverter* converter, std::string_view bytes, bool* ok = nullptr) {
  if (ok != nullptr) *ok = converter != nullptr;
  if (bytes.empty() || converter == nullptr) return {};
  std::u16string out(bytes.size() + 1, u'\0');
  UErrorCode status = U_ZERO_ERROR;
  int32_t written = 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    ucnv_resetToUnicode(converter);
    status = U_ZERO_ERROR;
    written = ucnv_toUChars(converter, out.data(), static_cast<int32_t>(out.size()), bytes.data(),
                            static_cast<int32_t>(bytes.size()), &status);
    if (status != U_BUFFER_OVERFLOW_ERROR) break;
    out.resize(static_cast<std::size_t>(written) + 1);  // a few charsets yield more units than bytes
  }
  if (U_FAILURE(status)) {
    if (ok != nullptr) *ok = false;
    return {};
  }
  out.resize(static_cast<std::size_t>(written));
  return out;
}

}  // namespace

std::u16string GbkToUtf16(std::string_view gbk) { return ToUtf16(Gbk(), gbk); }

std::string Utf16ToGbk(std::u16string_view utf16) {
  UConverter* converter = Gbk();
  if (utf16.empty() || converter == nullptr) return {};
  ucnv_resetFromUnicode(converter);
  std::string out(utf16.size() * 2 + 1, '\0');
  UErrorCode status = U_ZERO_ERROR;
  const int32_t written = ucnv_fromUChars(converter, out.data(), static_cast<int32_t>(out.size()), utf16.data(),
                                          static_cast<int32_t>(utf16.size()), &status);
  if (U_FAILURE(status)) return {};
  out.resize(static_cast<std::size_t>(written));
  return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  if (utf8.empty()) return {};
  std::u16string out(utf8.size() + 1, u'\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length, utf8.data(),
                       static_cast<int32_t>(utf8.size()), kReplacementCharacter, nullptr, &status);
  if (U_FAILURE(status)) return {};
  out.resize(static_cast<std::size_t>(length));
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  if (utf16.empty()) return {};
  std::string out(utf16.size() * 3 + 1, '\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length, utf16.data(),
                     static_cast<int32_t>(utf16.size()), kReplacementCharacter, nullptr, &status);
  if (U_FAILURE(status)) return {};
  out.resize(static_cast<std::size_t>(length));
  return out;
}

std::string GbkToUtf8(std::string_view gbk) { return Utf16ToUtf8(GbkToUtf16(gbk)); }
std::string Utf8ToGbk(std::string_view utf8) { return Utf16ToGbk(Utf8ToUtf16(utf8)); }

std::optional<std::string> CharsetToGbk(std::string_view bytes, std::string_view charset) {
  std::string name(charset);
  std::string lower = name;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  // ICU's own "GB2312" is the narrower EUC-CN table; pages that name these mean code page 936.
  if (lower == "gbk" || lower == "gb2312" || lower == "cp936" || lower == "x-gbk") name = kCodePage936;
  if (name.empty() || name.find('\0') != std::string::npos) return std::nullopt;
  Converter converter = Open(name.c_str());
  if (!converter) return std::nullopt;
  bool ok = false;
  std::u16string utf16 = ToUtf16(converter.get(), bytes, &ok);
  if (!ok) return std::nullopt;
  return Utf16ToGbk(utf16);
}

}  // namespace orvane::codepage
