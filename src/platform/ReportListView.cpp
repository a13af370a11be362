#include "platform/ReportListView.h"

#include <QHeaderView>

#include "platform/QtText.h"

namespace orvane {
namespace {
constexpr int kBytesRole = Qt::UserRole;
}

ReportListView::ReportListView(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(0);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSortingEnabled(false);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  header()->setSectionsMovable(true);
  header()->setStretchLastSection(false);
}

void ReportListView::InsertColumn(const QString& title, int width) {
  const int column = columnCount();
  setColumnCount(column + 1);
  headerItem()->setText(column, title);
  setColumnWidth(column, width);
  if (width == 0) setColumnHidden(column, true);
}

int ReportListView::AppendRow() {
  new QTreeWidgetItem(this);  // appended last; the list owns it
  return topLevelItemCount() - 1;
}

void ReportListView::SetCell(int row, int column, const std::string& gbk) {
  QTreeWidgetItem* item = topLevelItem(row);
  if (item == nullptr || column < 0 || column >= columnCount()) return;
  item->setText(column, ToQString(gbk));
  item->setData(column, kBytesRole, QByteArray(gbk.data(), static_cast<qsizetype>(gbk.size())));
}

std::string ReportListView::Cell(int row, int column) const {
  const QTreeWidgetItem* item = topLevelItem(row);
  if (item == nullptr || column < 0 || column >= columnCount()) return {};
  const QByteArray bytes = item->data(column, kBytesRole).toByteArray();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

int ReportListView::SelectedRow() const {
  const QList<QTreeWidgetItem*> items = selectedItems();
  return items.isEmpty() ? -1 : indexOfTopLevelItem(items.front());
}

}  // namespace orvane
