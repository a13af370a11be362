#include "album/AlbumLayout.h"

namespace orvane {
namespace {

constexpr int kGap = 10;
constexpr int kWindowHeight = 650;
constexpr int kNameTop = 20;
constexpr int kHeadImgTop = 20;
constexpr int kHeadImgHeight = 140;
constexpr int kRowHeight = 25;  // chapterList and the option row
constexpr int kLineHeight = 15;
constexpr int kTitleBytesPerLine = 30;
constexpr int kIntroBytesPerLine = 70;
constexpr int kResumeCap = 350;
constexpr int kResumeCappedHeight = 207;

}  // namespace

AlbumLayout LayOutAlbum(std::size_t titleLength, std::size_t introLength) {
  AlbumLayout layout{};
  const auto titleLines = static_cast<int>(titleLength / kTitleBytesPerLine);
  layout.nameWordWrap = titleLines > 0;
  layout.nameHeight = titleLines > 0 ? titleLines * kLineHeight + kRowHeight : kRowHeight;
  layout.detailsTop = kNameTop + layout.nameHeight + kGap;
  layout.resumeTop = kHeadImgTop + kHeadImgHeight + kGap;
  const auto introLines = static_cast<long long>(introLength / kIntroBytesPerLine);
  const long long resumeHeight = introLines * kLineHeight + kRowHeight;
  layout.resumeHeight = resumeHeight > kResumeCap ? kResumeCappedHeight : static_cast<int>(resumeHeight);
  layout.chapterListTop = layout.resumeTop + layout.resumeHeight + kGap;
  layout.optionsTop = layout.chapterListTop + kRowHeight + kGap;
  layout.videoListTop = layout.optionsTop + kRowHeight + kGap;
  layout.videoListHeight = kWindowHeight - layout.videoListTop - 50;
  return layout;
}

}  // namespace orvane
