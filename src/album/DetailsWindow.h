#pragma once
// The details window "详情": one album's cover, texts and track list, and the download controls.
#include <QWidget>

#include <stop_token>

#include "search/SearchWorker.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orvane {

class ReportListView;

class DetailsWindow : public QWidget {
  Q_OBJECT
 public:
  // Handler of a results row's activation: opens the single window (or brings it to the front), shows
  // the album, lays the window out for its texts and starts loading its track list.
  static void OpenAlbumDetails(const AlbumRow& album);
  static DetailsWindow* Instance();  // nullptr when closed

  void DisableDownloadControls();
  void EnableDownloadControls();

  // Counts the albums shown in this window; rows of videoList belong to the current one.
  unsigned AlbumGeneration() const { return generation_; }
  ReportListView* VideoList() const { return videoList_; }
  QLineEdit* RangeLast() const { return last_; }
  QLabel* ChapterList() const { return chapterList_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  DetailsWindow();
  ~DetailsWindow() override;
  void Created();
  void ShowAlbum(const AlbumRow& album);
  void LayOut(const AlbumRow& album);
  void FetchCover(const std::string& address);
  void StartDownload();
  // The eight download controls, in their order: 按钮1, 按钮2, 编辑框1, 编辑框2, 选择框1 to 选择框4.
  void SetDownloadControlsEnabled(bool enabled);
  void StopWorkers();

  QLabel* headImg_;
  QLabel* name_;
  QLabel* details_;
  QLabel* resume_;
  QLabel* chapterList_;
  QPushButton* whole_;
  QPushButton* range_;
  QCheckBox* high_;
  QCheckBox* normal_;
  QCheckBox* m4a_;
  QCheckBox* mp3_;
  QLabel* from_;
  QLineEdit* first_;
  QLabel* to_;
  QLineEdit* last_;
  ReportListView* videoList_;

  unsigned generation_ = 0;
  std::stop_source cover_;
  std::stop_source loader_;
  std::stop_source download_;
};

}  // namespace orvane
