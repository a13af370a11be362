#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "platform/GuiBridge.h"
#include "platform/Notice.h"
#include "platform/ReportListView.h"
#include "platform/QtText.h"
#include "platform/WindowSetup.h"
#include "platform/WorkerPool.h"
#include "search/ResultsWindow.h"
#include "search/SearchWorker.h"

namespace orvane {
namespace {

const QString kHelpText = QStringLiteral(
    "请输入专辑、声音、作者进行搜索\r\n\r\n不支持登录及付费内容下载\r\n\r\n本软件不得用于商业用途，仅做学习交流\r\n\r\n"
    "首发论坛：Quillmoor\r\n\r\n\r\n当前版本：v2.0");

// The search worker's view of the main window and the results window.
class WindowSearchView : public SearchView {
 public:
  WindowSearchView(QPointer<QLineEdit> keyword, QPointer<QPushButton> button, QPointer<ResultsWindow> results,
                   std::stop_token stop)
      : keyword_(std::move(keyword)), button_(std::move(button)), results_(std::move(results)), stop_(std::move(stop)) {}

  bool ReadKeyword(std::string& keyword) override {
    return ReadOnGui<QLineEdit, std::string>(keyword_, stop_, [this] { return ToGbk(keyword_->text()); }, keyword);
  }
  bool AppendRow(const AlbumRow& row) override {
    return RunOnGui(results_, stop_, [&] { results_->AppendAlbum(row); });
  }
  bool SetCaption(const std::string& caption) override {
    return RunOnGui(results_, stop_, [&] { results_->setWindowTitle(ToQString(caption)); });
  }
  bool EnableSearchButton() override {
    return RunOnGui(button_, stop_, [this] { button_->setEnabled(true); });
  }

 private:
  QPointer<QLineEdit> keyword_;
  QPointer<QPushButton> button_;
  QPointer<ResultsWindow> results_;
  std::stop_token stop_;
};

// Picks the largest font size, up to 12 pixels, at which every line of the label fits its height.
void FitLines(QLabel* label) {
  const int lines = static_cast<int>(label->text().count(QLatin1Char('\n'))) + 1;
  QFont font = label->font();
  for (int pixels = 12; pixels >= 8; --pixels) {
    font.setPixelSize(pixels);
    if (QFontMetrics(font).lineSpacing() * lines <= label->height()) break;
  }
  label->setFont(font);
}

}  // namespace

MainWindow::MainWindow() {
  setAttribute(Qt::WA_DeleteOnClose);
  SetUpFixedWindow(this, QStringLiteral("Orvane-专辑下载工具"), 500, 300);
  help_ = PlaceControl<QLabel>(this, QStringLiteral("标签1"), 20, 40, 450, 130, kHelpText);
  help_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  FitLines(help_);
  keyword_ = PlaceControl<QLineEdit>(this, QStringLiteral("编辑框1"), 75, 200, 260, 30);
  search_ = PlaceControl<QPushButton>(this, QStringLiteral("按钮1"), 340, 200, 80, 30, QStringLiteral("搜索"));
  connect(search_, &QPushButton::clicked, this, &MainWindow::StartSearch);
  connect(keyword_, &QLineEdit::returnPressed, this, [this] {
    if (search_->isEnabled()) StartSearch();
  });
}

MainWindow::~MainWindow() { running_.request_stop(); }

void MainWindow::StartSearch() {
  if (keyword_->text().isEmpty()) {
    ShowNotice(QStringLiteral("请输入专辑、声音、作者进行查询！"), QStringLiteral("温馨提示："),
               QMessageBox::Information);
    return;
  }
  ResultsWindow* results = ResultsWindow::Open();
  running_.request_stop();  // a search of a closed results window may still be winding down
  results->List()->RemoveAllRows();
  search_->setEnabled(false);
  connect(results, &QObject::destroyed, this, &MainWindow::CancelSearch, Qt::UniqueConnection);
  running_ = WorkerPool::Instance().Start(
      [keyword = QPointer<QLineEdit>(keyword_), button = QPointer<QPushButton>(search_),
       window = QPointer<ResultsWindow>(results)](std::stop_token stop) {
        WindowSearchView view(keyword, button, window, stop);
        SearchWorker(view, stop);
      });
}

void MainWindow::CancelSearch() {
  running_.request_stop();
  search_->setEnabled(true);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  running_.request_stop();
  QWidget::closeEvent(event);
}

}  // namespace orvane
