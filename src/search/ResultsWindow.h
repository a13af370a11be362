#pragma once
// The results window "搜索结果": one list of albums, filled by the search worker.
#include <QWidget>

#include "search/SearchWorker.h"

namespace orvane {

class ReportListView;

class ResultsWindow : public QWidget {
  Q_OBJECT
 public:
  // Opens the single instance: creates it (columns inserted once per creation) or brings it to the front.
  static ResultsWindow* Open();
  static ResultsWindow* Instance();  // nullptr when closed

  ReportListView* List() const { return list_; }
  void AppendAlbum(const AlbumRow& row);
  AlbumRow Album(int row) const;

 Q_SIGNALS:
  // A row was activated (double click, or Enter on the selected row).
  void albumActivated(const orvane::AlbumRow& album);

 private:
  ResultsWindow();
  void InitResultsList();

  ReportListView* list_;
};

}  // namespace orvane
