#pragma once
// A report-style list: rows of text cells under a column header. Cells keep their GBK bytes exactly;
// the view shows them converted.
#include <QTreeWidget>

#include <string>

namespace orvane {

class ReportListView : public QTreeWidget {
  Q_OBJECT
 public:
  explicit ReportListView(QWidget* parent = nullptr);

  // Appends a column; a width of 0 hides it (it still holds data).
  void InsertColumn(const QString& title, int width);
  int AppendRow();  // the new row's index
  void SetCell(int row, int column, const std::string& gbk);
  std::string Cell(int row, int column) const;  // empty for a missing row or cell
  int RowCount() const { return topLevelItemCount(); }
  void RemoveAllRows() { clear(); }
  int SelectedRow() const;  // -1 when none
};

}  // namespace orvane
