#pragma once
// Names of the files and folders a download writes, made from texts the network sent.
#include <filesystem>
#include <set>
#include <string>

namespace orvane {

// Deletes every \ / : * ? | < > " (never a byte of a double-byte character). Cleans the caller's
// text in place and returns it as well.
std::string& CleanFileName(std::string& text);

// The folder for an album under `root`: the cleaned album title, control characters dropped, cut to
// what the file system allows. A name left empty, or made only of dots and blanks, becomes "未命名专辑",
// so the folder is always one level below `root`.
std::filesystem::path AlbumFolder(const std::filesystem::path& root, std::string albumTitle);

// Picks file names for the tracks of one download.
class TrackFileNamer {
 public:
  // The file name for a track: the cleaned title (the track id when that is empty) and the extension,
  // cut at a character boundary before the extension to what the file system allows. A name this
  // namer gave before gets " (2)", " (3)" … before the extension.
  std::filesystem::path Name(std::string title, const std::string& trackId, const std::string& extension);

 private:
  std::set<std::string> given_;
};

}  // namespace orvane
