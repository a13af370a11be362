#include "download/DownloadWorker.h"

#include <filesystem>
#include <system_error>

#include <unistd.h>

#include "download/FileNames.h"
#include "platform/CodePage.h"
#include "platform/HttpFetch.h"
#include "platform/ServiceHosts.h"
#include "script/JsonDocument.h"
#include "text/NumberText.h"
#include "text/TextHelpers.h"
#include "web/RequestFailure.h"
#include "web/WebRequest.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

struct Messages {
  std::string downloading = codepage::Utf8ToGbk("正在下载");
  std::string done = codepage::Utf8ToGbk("已完成");
  std::string failed = codepage::Utf8ToGbk("下载失败");
  std::string badRange = codepage::Utf8ToGbk("温馨提示，下载范围有误，请重新输入！");
  std::string paid = codepage::Utf8ToGbk("温馨提示，该专辑内容为付费，不支持下载！");
  std::string finished = codepage::Utf8ToGbk("温馨提示，下载完成！");
  std::string Unwritable(const fs::path& folder) const {
    // Paths are UTF-8 on this system; messages are GBK.
    return codepage::Utf8ToGbk("温馨提示，无法写入文件夹：" + folder.string() + "！");
  }
  std::string FinishedWithFailures(int failures) const {
    return codepage::Utf8ToGbk("温馨提示，下载完成，有" + std::to_string(failures) + "个文件下载失败！");
  }
};

const Messages& Text() {
  static const Messages messages;
  return messages;
}

// Creates the album folder when missing; false when it cannot be made, is not a folder or cannot
// take files (a read-only file system, no permission).
bool PrepareFolder(const fs::path& folder) {
  std::error_code error;
  fs::create_directory(folder, error);
  return fs::is_directory(folder, error) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

enum class Outcome { Saved, Failed, Paid, Unwritable, Stopped };

struct Run {
  DownloadView& view;
  const std::stop_token& stop;
  const DownloadRequest& request;
  JsonDocument document;
  TrackFileNamer names;
  fs::path unwritableFolder;

  // One track: record, folder, audio, file, status.
  Outcome Track(int row, const std::string& trackId) {
    std::string status;
    const std::string record =
        WebRequest("http://" + MainHost() + "/tracks/" + trackId + ".json", {.statusText = &status, .stop = stop});
    if (stop.stop_requested()) return Outcome::Stopped;
    const bool parsed = !IsRequestFailure(status) && document.Parse(Utf8ToGbk(record));
    if (!view.SetStatus(row, Text().downloading)) return Outcome::Stopped;
    // Only a record that was read and lacks the address is paid content; an unreadable one is a failure.
    if (!parsed) return Outcome::Failed;
    const std::string audio = document.GetText(request.highQuality ? "play_path_64" : "play_path_32");
    if (audio.empty()) return Outcome::Paid;

    const fs::path folder = AlbumFolder(fs::current_path(), document.GetText("album_title"));
    if (!PrepareFolder(folder)) {
      unwritableFolder = folder;
      return Outcome::Unwritable;
    }
    const fs::path file = folder / names.Name(document.GetText("title"), trackId, request.m4a ? ".m4a" : ".mp3");
    switch (FetchToFile(audio, file, {.stop = stop})) {
      case SaveResult::Saved:
        return Outcome::Saved;
      case SaveResult::Cancelled:
        return Outcome::Stopped;
      case SaveResult::WriteFailed:
        if (!PrepareFolder(folder)) {
          unwritableFolder = folder;
          return Outcome::Unwritable;
        }
        return Outcome::Failed;
      case SaveResult::FetchFailed:
        return Outcome::Failed;
    }
    return Outcome::Failed;
  }
};

}  // namespace

void DownloadWorker(DownloadView& view, const DownloadRequest& request, const std::stop_token& stop) {
  if (!view.DisableControls()) return;

  const long long first = ReadWholeNumber(request.firstText);
  const long long last = ReadWholeNumber(request.lastText);
  const auto rowCount = static_cast<long long>(request.trackIds.size());
  if (first < 1 || last < first || last > rowCount) {
    if (view.ShowNotice(Text().badRange, NoticeKind::Warning)) view.EnableControls();
    return;
  }

  Run run{view, stop, request, {}, {}, {}};
  int failures = 0;
  Outcome outcome = Outcome::Saved;
  for (long long n = first; n <= last; ++n) {
    const int row = static_cast<int>(n - 1);
    outcome = run.Track(row, request.trackIds[static_cast<std::size_t>(row)]);
    if (outcome == Outcome::Saved) {
      if (!view.SetStatus(row, Text().done)) return;
    } else if (outcome == Outcome::Failed) {
      ++failures;
      if (!view.SetStatus(row, Text().failed)) return;
    } else {
      break;
    }
  }

  bool closed = false;
  switch (outcome) {
    case Outcome::Stopped:
      return;
    case Outcome::Paid:
      closed = view.ShowNotice(Text().paid, NoticeKind::Warning);
      break;
    case Outcome::Unwritable:
      closed = view.ShowNotice(Text().Unwritable(run.unwritableFolder), NoticeKind::Warning);
      break;
    case Outcome::Saved:
    case Outcome::Failed:
      closed = failures == 0 ? view.ShowNotice(Text().finished, NoticeKind::Information)
                                 : view.ShowNotice(Text().FinishedWithFailures(failures), NoticeKind::Warning);
      break;
  }
  if (closed) view.EnableControls();
}

}  // namespace orvane
