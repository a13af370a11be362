// The main window, the results window and the search, driven through the real windows against the
// sample service.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "app/MainWindow.h"
#include "platform/ReportListView.h"
#include "SampleService.h"
#include "search/ResultsWindow.h"
#include "support/GuiTestSupport.h"

namespace orvane {
namespace {

using namespace orvane::testing;
using sample::Album;
using sample::Catalogue;
using sample::Fault;
using sample::SampleService;

const QString kLoaded = Q("搜索结果-已加载完成");

Catalogue Albums(int count, const std::string& word) {
  Catalogue catalogue;
  catalogue.albumsPerPage = 10;
  for (int i = 1; i <= count; ++i) {
    Album album;
    album.id = std::to_string(1000 + i);
    album.title = "Album " + word + " " + std::to_string(i);
    album.intro = "Intro of " + std::to_string(i);
    album.plays = std::to_string(i * 100);
    album.trackCount = std::to_string(i);
    catalogue.albums.push_back(album);
  }
  return catalogue;
}

class SearchWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    main_ = new MainWindow;
    main_->show();
  }
  void TearDown() override { CloseEverything(); }

  QLineEdit* Keyword() { return Control<QLineEdit>(main_, "编辑框1"); }
  QPushButton* Button() { return Control<QPushButton>(main_, "按钮1"); }

  void Search(const QString& keyword) {
    Keyword()->setText(keyword);
    QTest::mouseClick(Button(), Qt::LeftButton);
  }
  static ReportListView* List() {
    ResultsWindow* results = ResultsWindow::Instance();
    return results == nullptr ? nullptr : results->List();
  }
  static QString Caption() {
    ResultsWindow* results = ResultsWindow::Instance();
    return results == nullptr ? QString() : results->windowTitle();
  }
  // Waits for the search to end with `caption` and the button usable again.
  bool WaitForEnd(const QString& caption) {
    return WaitFor([&] { return Caption() == caption && Button()->isEnabled(); });
  }
  static std::string Cell(int row, int column) { return List()->Cell(row, column); }
  static std::vector<std::string> SearchRequests(const SampleService& service) {
    std::vector<std::string> pages;
    for (const std::string& target : service.Requests()) {
      if (target.rfind("/search/", 0) == 0) pages.push_back(target);
    }
    return pages;
  }

  SampleService service_{Albums(25, "k")};
  ScopedHosts hosts_{service_.Host()};
  QPointer<MainWindow> main_;
};

TEST_F(SearchWindowTest, MainWindowAsLaidOut) {
  EXPECT_EQ(main_->windowTitle(), Q("Orvane-专辑下载工具"));
  EXPECT_EQ(main_->size(), QSize(500, 300));
  EXPECT_EQ(main_->minimumSize(), main_->maximumSize());
  EXPECT_FALSE(main_->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(main_->windowFlags() & Qt::WindowMinimizeButtonHint);

  auto* help = Control<QLabel>(main_, "标签1");
  EXPECT_EQ(help->geometry(), QRect(20, 40, 450, 130));
  EXPECT_EQ(help->text(), Q("请输入专辑、声音、作者进行搜索\r\n\r\n不支持登录及付费内容下载\r\n\r\n"
                            "本软件不得用于商业用途，仅做学习交流\r\n\r\n首发论坛：Quillmoor\r\n\r\n\r\n当前版本：v2.0"));
  EXPECT_EQ(Keyword()->geometry(), QRect(75, 200, 260, 30));
  EXPECT_TRUE(Keyword()->text().isEmpty());
  EXPECT_EQ(Button()->geometry(), QRect(340, 200, 80, 30));
  EXPECT_EQ(Button()->text(), Q("搜索"));
  EXPECT_TRUE(Button()->isEnabled());
}

TEST_F(SearchWindowTest, EmptyKeywordOnlyShowsTheNotice) {
  Search(QString());
  QMessageBox* notice = WaitForNotice();
  ASSERT_NE(notice, nullptr);
  EXPECT_EQ(notice->windowTitle(), Q("温馨提示："));
  EXPECT_EQ(notice->text(), Q("请输入专辑、声音、作者进行查询！"));
  EXPECT_EQ(notice->icon(), QMessageBox::Information);
  EXPECT_EQ(ResultsWindow::Instance(), nullptr);
  EXPECT_TRUE(Button()->isEnabled());
  Dismiss(notice);
  EXPECT_TRUE(WaitFor([] { return OpenNotice() == nullptr; }));
  EXPECT_TRUE(service_.Requests().empty());
}

TEST_F(SearchWindowTest, LoadsEveryPageWithProgressCaptions) {
  // Page 2 answers late, so the caption of the page being loaded can be seen.
  service_.SetFault("/search/album/kw/k/page/2/", {.kind = Fault::Kind::Slow, .delay = std::chrono::milliseconds(1500)});
  Search(Q("k"));
  ASSERT_TRUE(WaitFor([] { return List() != nullptr && List()->RowCount() == 10; }));
  EXPECT_TRUE(WaitFor([] { return Caption() == Q("搜索结果-正在加载，第2页内容"); }));
  EXPECT_FALSE(Button()->isEnabled());

  ASSERT_TRUE(WaitForEnd(kLoaded));
  EXPECT_TRUE(Button()->isEnabled());
  EXPECT_EQ(List()->RowCount(), 25);
  EXPECT_EQ(SearchRequests(service_), (std::vector<std::string>{"/search/album/kw/k/page/1/sc/true.ajax",
                                                                "/search/album/kw/k/page/2/sc/true.ajax",
                                                                "/search/album/kw/k/page/3/sc/true.ajax"}));
  // Columns of one row, the keyword's highlight gone from the title.
  EXPECT_EQ(Cell(0, 0), "Album k 1");
  EXPECT_EQ(Cell(0, 1), "100");
  EXPECT_EQ(Cell(0, 2), "1");
  EXPECT_EQ(Cell(0, 3), "Intro of 1");
  EXPECT_EQ(Cell(0, 4), "http://" + service_.Host() + "/album/1001");
  EXPECT_EQ(Cell(0, 5), service_.CoverUrl("1001"));
  EXPECT_EQ(Cell(24, 0), "Album k 25");

  ReportListView* list = List();
  EXPECT_EQ(list->columnCount(), 6);
  EXPECT_EQ(list->headerItem()->text(0), Q("名称"));
  EXPECT_EQ(list->headerItem()->text(5), Q("图片"));
  EXPECT_EQ(list->columnWidth(0), 150);
  EXPECT_EQ(list->columnWidth(3), 300);
  EXPECT_TRUE(list->isColumnHidden(4));
  EXPECT_TRUE(list->isColumnHidden(5));
  EXPECT_EQ(list->geometry(), QRect(8, 8, 624, 376));
  EXPECT_EQ(ResultsWindow::Instance()->size(), QSize(648, 420));
}

// Pages written by hand, for the markers' letter case and the cleaning of texts.
TEST_F(SearchWindowTest, CutsEntriesByteForByte) {
  const std::string entry =
      R"(<li class=\"x\" SOUND_IDS=\"1,2\">\n<a href=\"/album/77\" class=\"pic\">)"
      R"(<img class=\"search-album-pic\" src='http://covers.invalid/77.jpg' alt=\"\"></a>\n)"
      R"(<a href=\"/album/77\" class=\"search-album-tit elli-multi link4\"  >\n  <SPAN class=\"c09\">Key</SPAN>)"
      R"( Mixed  Title\n </a>\n<p class=\"elli c02\"> about <span CLASS=\"c09\">key</Span>s\n</p>)"
      R"(<i class=\"iconfont icon-soundslight\">5</i></li>)";
  // Page 1 names a next page but has no album list: no rows, and the search goes on.
  service_.SetRaw("/search/album/kw/Key/page/1/sc/true.ajax",
                  {.body = R"({"html":"<div>nothing</div><a rel='next' href='/p/2'>next</a>"})"});
  service_.SetRaw("/search/album/kw/Key/page/2/sc/true.ajax",
                  {.body = R"({"html":"<ul class=\"search-album-lists cl\">\n)" + entry + R"(\n</ul>"})"});
  Search(Q("Key"));
  ASSERT_TRUE(WaitForEnd(kLoaded));
  ASSERT_EQ(List()->RowCount(), 1);
  EXPECT_EQ(Cell(0, 0), "Key Mixed  Title");
  EXPECT_EQ(Cell(0, 1), "0");  // no play count
  EXPECT_EQ(Cell(0, 2), "5");
  EXPECT_EQ(Cell(0, 3), "about keys");
  EXPECT_EQ(Cell(0, 4), "http://" + service_.Host() + "/album/77");
  EXPECT_EQ(Cell(0, 5), "http://covers.invalid/77.jpg");
  EXPECT_EQ(SearchRequests(service_).size(), 2u);
}

TEST_F(SearchWindowTest, KeywordGoesIntoTheAddressAsTyped) {
  service_.SetCatalogue(Albums(1, "中文"));
  Search(Q("a/b"));
  ASSERT_TRUE(WaitForEnd(kLoaded));
  Search(Q(" "));  // only a keyword of no characters at all is empty
  ASSERT_TRUE(WaitForEnd(kLoaded));
  Search(Q("中文"));
  ASSERT_TRUE(WaitForEnd(kLoaded));
  ASSERT_EQ(List()->RowCount(), 1);
  EXPECT_EQ(Cell(0, 0), codepage::Utf8ToGbk("Album 中文 1"));
  EXPECT_EQ(SearchRequests(service_),
            (std::vector<std::string>{"/search/album/kw/a/b/page/1/sc/true.ajax",
                                      "/search/album/kw/%20/page/1/sc/true.ajax",
                                      "/search/album/kw/%E4%B8%AD%E6%96%87/page/1/sc/true.ajax"}));
}

TEST_F(SearchWindowTest, AFailedPageEndsTheSearchAsFailed) {
  service_.SetFault("/search/album/kw/k/page/2/", {.kind = Fault::Kind::CutShort});
  Search(Q("k"));
  ASSERT_TRUE(WaitForEnd(Q("搜索结果-加载失败")));
  EXPECT_TRUE(Button()->isEnabled());
  EXPECT_EQ(List()->RowCount(), 10);  // the rows of page 1 stay
}

TEST_F(SearchWindowTest, AFailedFirstPageLeavesAnEmptyList) {
  ScopedHosts nowhere("127.0.0.1:1");  // nothing listens there
  Search(Q("k"));
  ASSERT_TRUE(WaitForEnd(Q("搜索结果-加载失败")));
  EXPECT_EQ(List()->RowCount(), 0);
  EXPECT_TRUE(Button()->isEnabled());
}

TEST_F(SearchWindowTest, ASecondSearchReusesTheWindow) {
  Search(Q("k"));
  ASSERT_TRUE(WaitForEnd(kLoaded));
  QWidget* first = ResultsWindow::Instance();
  service_.SetCatalogue(Albums(3, "k"));
  Search(Q("k"));
  EXPECT_EQ(List()->RowCount(), 0);  // emptied at once
  ASSERT_TRUE(WaitFor([] { return List()->RowCount() == 3; }));
  ASSERT_TRUE(WaitForEnd(kLoaded));
  EXPECT_EQ(ResultsWindow::Instance(), first);
  EXPECT_EQ(List()->columnCount(), 6);
}

TEST_F(SearchWindowTest, ClosingTheResultsMidSearchEndsIt) {
  // Page 2 would take far longer than the test: only a cancelled transfer lets the worker end soon.
  service_.SetFault("/search/album/kw/k/page/2/", {.kind = Fault::Kind::Slow, .delay = std::chrono::seconds(60)});
  Search(Q("k"));
  ASSERT_TRUE(WaitFor([] { return List() != nullptr && List()->RowCount() == 10; }));
  ResultsWindow::Instance()->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(Button()->isEnabled());  // usable again at once
  EXPECT_TRUE(WorkerPool::Instance().WaitIdle(std::chrono::seconds(2)));

  service_.SetCatalogue(Albums(2, "z"));
  Search(Q("z"));
  ASSERT_TRUE(WaitForEnd(kLoaded));
  EXPECT_TRUE(WorkerPool::Instance().WaitIdle(std::chrono::seconds(5)));
  QApplication::processEvents();
  EXPECT_EQ(List()->RowCount(), 2);  // nothing of the first search mixed in
  EXPECT_EQ(Cell(0, 0), "Album z 1");
}

TEST_F(SearchWindowTest, EnterInTheKeywordBoxSearches) {
  Keyword()->setText(Q("k"));
  QTest::keyClick(Keyword(), Qt::Key_Return);
  ASSERT_TRUE(WaitForEnd(kLoaded));
  EXPECT_EQ(List()->RowCount(), 25);
}

TEST_F(SearchWindowTest, TheProgramEndsWithItsLastWindow) {
  Search(Q("k"));
  ASSERT_TRUE(WaitForEnd(kLoaded));
  // The real event loop: closing the main window leaves it running for the results window, closing
  // that one ends it. A stray loop is ended with 99 after a while.
  bool ranOnAfterMainClosed = false;
  QApplication::setQuitOnLastWindowClosed(true);
  QTimer::singleShot(0, [this, &ranOnAfterMainClosed] {
    main_->close();
    QTimer::singleShot(100, [&ranOnAfterMainClosed] {
      ranOnAfterMainClosed = true;
      ResultsWindow::Instance()->close();
    });
  });
  QTimer::singleShot(10000, [] { QApplication::exit(99); });
  const int result = QApplication::exec();
  QApplication::setQuitOnLastWindowClosed(false);
  EXPECT_TRUE(ranOnAfterMainClosed);
  EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace orvane
