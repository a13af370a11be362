#pragma once
// The main window: the keyword box and the search button.
#include <QWidget>

#include <stop_token>

class QLabel;
class QLineEdit;
class QPushButton;

namespace orvane {

class MainWindow : public QWidget {
  Q_OBJECT
 public:
  MainWindow();
  ~MainWindow() override;

  // Click handler of 按钮1 (and Enter in the keyword box).
  void StartSearch();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Ends a running search; the button is usable again at once.
  void CancelSearch();

  QLabel* help_;
  QLineEdit* keyword_;
  QPushButton* search_;
  std::stop_source running_;
};

}  // namespace orvane
