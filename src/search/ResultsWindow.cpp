#include "search/ResultsWindow.h"

#include <QPointer>

#include "album/DetailsWindow.h"
#include "platform/ReportListView.h"
#include "platform/WindowSetup.h"

namespace orvane {
namespace {
QPointer<ResultsWindow> g_instance;
}

ResultsWindow* ResultsWindow::Open() {
  if (g_instance.isNull()) {
    g_instance = new ResultsWindow;
    g_instance->show();
  } else {
    BringToFront(g_instance);
  }
  return g_instance;
}

ResultsWindow* ResultsWindow::Instance() { return g_instance; }

ResultsWindow::ResultsWindow() {
  setAttribute(Qt::WA_DeleteOnClose);
  SetUpFixedWindow(this, QStringLiteral("搜索结果"), 648, 420);
  list_ = PlaceControl<ReportListView>(this, QStringLiteral("超级列表框1"), 8, 8, 624, 376);
  InitResultsList();
  connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
    const int row = list_->indexOfTopLevelItem(item);
    if (row >= 0) Q_EMIT albumActivated(Album(row));
  });
  connect(this, &ResultsWindow::albumActivated, this, &DetailsWindow::OpenAlbumDetails);
}

void ResultsWindow::InitResultsList() {
  list_->InsertColumn(QStringLiteral("名称"), 150);
  list_->InsertColumn(QStringLiteral("播放"), 80);
  list_->InsertColumn(QStringLiteral("专辑"), 80);
  list_->InsertColumn(QStringLiteral("简介"), 300);
  list_->InsertColumn(QStringLiteral("地址"), 0);
  list_->InsertColumn(QStringLiteral("图片"), 0);
}

void ResultsWindow::AppendAlbum(const AlbumRow& album) {
  const int row = list_->AppendRow();
  list_->SetCell(row, 0, album.title);
  list_->SetCell(row, 1, album.plays);
  list_->SetCell(row, 2, album.tracks);
  list_->SetCell(row, 3, album.intro);
  list_->SetCell(row, 4, album.link);
  list_->SetCell(row, 5, album.cover);
}

AlbumRow ResultsWindow::Album(int row) const {
  return {list_->Cell(row, 0), list_->Cell(row, 1), list_->Cell(row, 2),
          list_->Cell(row, 3), list_->Cell(row, 4), list_->Cell(row, 5)};
}

}  // namespace orvane
