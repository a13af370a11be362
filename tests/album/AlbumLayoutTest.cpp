#include "album/AlbumLayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvane {
namespace {

TEST(AlbumLayout, FollowsTheTexts) {
  struct Case {
    std::size_t title, intro;
    int nameHeight;
    bool wrap;
    int detailsTop, resumeHeight, chapterListTop, optionsTop, videoListTop, videoListHeight;
  };
  const std::vector<Case> cases = {
      {0, 0, 25, false, 55, 25, 205, 240, 275, 325},
      {29, 69, 25, false, 55, 25, 205, 240, 275, 325},
      {30, 70, 40, true, 70, 40, 220, 255, 290, 310},
      {60, 140, 55, true, 85, 55, 235, 270, 305, 295},
      {10, 1539, 25, false, 55, 340, 520, 555, 590, 10},
      {10, 1540, 25, false, 55, 207, 387, 422, 457, 143},  // 355 would be past 350: capped at 207
      {10, 1u << 20, 25, false, 55, 207, 387, 422, 457, 143},
  };
  for (const Case& c : cases) {
    const AlbumLayout layout = LayOutAlbum(c.title, c.intro);
    SCOPED_TRACE(testing::Message() << "title " << c.title << ", intro " << c.intro);
    EXPECT_EQ(layout.nameHeight, c.nameHeight);
    EXPECT_EQ(layout.nameWordWrap, c.wrap);
    EXPECT_EQ(layout.detailsTop, c.detailsTop);
    EXPECT_EQ(layout.resumeTop, 170);
    EXPECT_EQ(layout.resumeHeight, c.resumeHeight);
    EXPECT_EQ(layout.chapterListTop, c.chapterListTop);
    EXPECT_EQ(layout.optionsTop, c.optionsTop);
    EXPECT_EQ(layout.videoListTop, c.videoListTop);
    EXPECT_EQ(layout.videoListHeight, c.videoListHeight);
  }
}

}  // namespace
}  // namespace orvane
