#pragma once
// GBK text to and from Qt's UTF-16 strings, for the windows.
#include <QString>

#include <string>
#include <string_view>

#include "platform/CodePage.h"

namespace orvane {

inline QString ToQString(std::string_view gbk) {
  const std::u16string utf16 = codepage::GbkToUtf16(gbk);
  return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

inline std::string ToGbk(const QString& text) {
  return codepage::Utf16ToGbk(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                  static_cast<std::size_t>(text.size())));
}

}  // namespace orvane
