#include "download/FileNames.h"

#include "platform/CodePage.h"
#include "text/TextHelpers.h"

namespace orvane {
namespace {

// Linux allows 255 bytes per name; names are stored as UTF-8.
constexpr std::size_t kMaxNameBytes = 255;

// One path component in UTF-8: no separator and no control character can come through, whatever
// the GBK text held (0x80 and 0xFF are single-byte characters in code page 936, so cleaning the GBK
// text alone is not enough).
std::string SafeComponent(const std::string& gbk) {
  std::string out;
  for (const char c : codepage::GbkToUtf8(gbk)) {
    const auto byte = static_cast<unsigned char>(c);
    if (c != '/' && byte >= 0x20 && byte != 0x7F) out.push_back(c);
  }
  return out;
}

// The longest prefix of a UTF-8 text that fits in `bytes` without cutting a character.
std::string FitUtf8(const std::string& utf8, std::size_t bytes) {
  if (utf8.size() <= bytes) return utf8;
  std::size_t end = bytes;
  while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
  return utf8.substr(0, end);
}

bool OnlyDotsAndBlanks(const std::string& name) { return name.find_first_not_of(". ") == std::string::npos; }

}  // namespace

std::string& CleanFileName(std::string& text) {
  text = ReplaceMany(text, {.matchCase = true}, {"\\", ""}, {"/", ""}, {":", ""}, {"*", ""}, {"?", ""});
  text = ReplaceMany(text, {.matchCase = true}, {"|", ""}, {"<", ""}, {">", ""}, {"\"", ""}, {"", ""});
  return text;
}

std::filesystem::path AlbumFolder(const std::filesystem::path& root, std::string albumTitle) {
  std::string name = FitUtf8(SafeComponent(CleanFileName(albumTitle)), kMaxNameBytes);
  if (OnlyDotsAndBlanks(name)) name = "未命名专辑";
  return root / name;
}

std::filesystem::path TrackFileNamer::Name(std::string title, const std::string& trackId,
                                           const std::string& extension) {
  std::string base = SafeComponent(CleanFileName(title));
  if (base.empty()) {
    std::string id = trackId;
    base = SafeComponent(CleanFileName(id));
  }
  if (base.empty()) base = "未命名";
  for (int copy = 1;; ++copy) {
    const std::string suffix = copy == 1 ? extension : " (" + std::to_string(copy) + ")" + extension;
    std::string name = FitUtf8(base, kMaxNameBytes - suffix.size()) + suffix;
    if (given_.insert(name).second) return name;
  }
}

}  // namespace orvane
