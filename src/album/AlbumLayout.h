#pragma once
// Where the details window's controls go for an album's texts. Only the vertical places move.
#include <cstddef>

namespace orvane {

struct AlbumLayout {
  int nameHeight;
  bool nameWordWrap;
  int detailsTop;
  int resumeTop;
  int resumeHeight;
  int chapterListTop;   // also the top of the two download buttons
  int optionsTop;       // the check boxes, the range labels and edit boxes
  int videoListTop;
  int videoListHeight;
};

// titleLength and introLength are byte lengths of the GBK texts (the introduction without "简介：").
AlbumLayout LayOutAlbum(std::size_t titleLength, std::size_t introLength);

}  // namespace orvane
