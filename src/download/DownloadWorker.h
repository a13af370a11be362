#pragma once
// Saves a range of an album's tracks as audio files, one after the other.
#include <stop_token>
#include <string>
#include <vector>

namespace orvane {

// What a download is started with, read from the window in the click that starts it.
struct DownloadRequest {
  std::string firstText;  // 编辑框1, read as a whole number
  std::string lastText;   // 编辑框2
  bool highQuality = true;
  bool m4a = true;
  std::vector<std::string> trackIds;  // column 2 of every row of videoList, in row order
};

enum class NoticeKind { Information, Warning };

// What the download reads and writes in the details window. Every call returns false when the window
// is gone or the download was stopped; the download then ends at once, quietly.
class DownloadView {
 public:
  virtual ~DownloadView() = default;
  virtual bool DisableControls() = 0;
  virtual bool EnableControls() = 0;
  // Sets column 3 of the track's row (from 0) while the album the download belongs to is shown.
  virtual bool SetStatus(int row, const std::string& status) = 0;
  // Shows a notice (title "提示信息") and waits until the user has closed it.
  virtual bool ShowNotice(const std::string& text, NoticeKind kind) = 0;
};

void DownloadWorker(DownloadView& view, const DownloadRequest& request, const std::stop_token& stop);

}  // namespace orvane
