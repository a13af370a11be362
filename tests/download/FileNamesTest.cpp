#include "download/FileNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/CodePage.h"

namespace orvane {
namespace {

std::string Gbk(const char* utf8) { return codepage::Utf8ToGbk(utf8); }

TEST(CleanFileName, DeletesTheNineCharactersOnly) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"a/b:c", "abc"},
      {"\\/:*?|<>\"", ""},
      {" a.b ", " a.b "},  // nothing else changes: no trimming
      {Gbk("中文/名"), Gbk("中文名")},
      {"\x95\x5C" "x", "\x95\x5C" "x"},  // 0x5C as the trail byte of a double-byte character stays
      {"\x81\x7C|", "\x81\x7C"},         // so does 0x7C
  };
  for (auto [text, expected] : cases) {
    std::string cleaned = text;
    EXPECT_EQ(CleanFileName(cleaned), expected) << text;
    EXPECT_EQ(cleaned, expected) << "cleaned in place";
  }
}

TEST(AlbumFolder, StaysOneLevelBelowTheRoot) {
  const std::filesystem::path root = "/downloads";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {Gbk("我的专辑"), "我的专辑"},
      {"../x", "..x"},
      {"..", "未命名专辑"},
      {". .", "未命名专辑"},
      {"", "未命名专辑"},
      {"a/../../b", "a....b"},
      {"/etc", "etc"},
      {"tab\there\x01", "tabhere"},
      // 0x80 (the euro sign) and 0xFF stand alone in code page 936: the byte after them is a character
      // of its own, and a "/" or a control character there must go too.
      {"\x80/x", "€x"},
      {"\x80/..", "€.."},
      {"a\x80\x01" "b", "a€b"},
      {"\xFF/..", "\xEF\xA3\xB5.."},
  };
  for (const auto& [title, expected] : cases) {
    const std::filesystem::path folder = AlbumFolder(root, title);
    EXPECT_EQ(folder, root / expected) << title;
    EXPECT_EQ(folder.parent_path(), root) << title;
  }
}

TEST(AlbumFolder, LongNamesAreCutAtACharacterBoundary) {
  std::string title;
  for (int i = 0; i < 200; ++i) title += Gbk("长");
  const std::string name = AlbumFolder("/d", title).filename().string();
  EXPECT_LE(name.size(), 255u);
  EXPECT_EQ(name.size() % 3, 0u);  // whole three-byte UTF-8 characters
}

TEST(TrackFileNamer, NamesAreUniqueWithinOneDownload) {
  TrackFileNamer namer;
  EXPECT_EQ(namer.Name("a/b", "1", ".mp3"), "ab.mp3");
  EXPECT_EQ(namer.Name("ab", "2", ".mp3"), "ab (2).mp3");
  EXPECT_EQ(namer.Name("a:b", "3", ".mp3"), "ab (3).mp3");
  EXPECT_EQ(namer.Name("ab", "4", ".m4a"), "ab.m4a");
  EXPECT_EQ(namer.Name("\\/:*?|<>\"", "977", ".m4a"), "977.m4a");  // an empty title falls back to the id
  EXPECT_EQ(namer.Name(Gbk("第一集"), "5", ".m4a"), "第一集.m4a");
  EXPECT_EQ(namer.Name("a\x80/..\x80/b", "6", ".m4a"), "a€..€b.m4a");
}

TEST(TrackFileNamer, LongTitlesKeepTheirExtension) {
  TrackFileNamer namer;
  const std::string name = namer.Name(std::string(300, 'x'), "1", ".m4a").string();
  EXPECT_EQ(name.size(), 255u);
  EXPECT_EQ(name.substr(name.size() - 4), ".m4a");
  const std::string second = namer.Name(std::string(300, 'x'), "2", ".m4a").string();
  EXPECT_EQ(second.size(), 255u);
  EXPECT_EQ(second.substr(second.size() - 8), " (2).m4a");
}

}  // namespace
}  // namespace orvane
