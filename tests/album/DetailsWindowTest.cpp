// The details window, the track-list loader and the download, driven through the real windows
// against the sample service.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "SampleService.h"
#include "album/DetailsWindow.h"
#include "platform/CodePage.h"
#include "platform/ReportListView.h"
#include "search/ResultsWindow.h"
#include "support/GuiTestSupport.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;
using namespace orvane::testing;
using sample::Album;
using sample::Catalogue;
using sample::Fault;
using sample::Quality;
using sample::SampleService;
using sample::Track;

const QString kLoaded = Q("章节列表-已加载完成");

Album MakeAlbum(const std::string& id, int tracks, const std::string& title = "Album") {
  Album album;
  album.id = id;
  album.title = title;
  album.intro = "About " + title;
  album.plays = "1234";
  for (int i = 1; i <= tracks; ++i) {
    Track track;
    track.id = id + std::to_string(100 + i);
    track.title = "Track " + std::to_string(i);
    track.audioSize = 3000 + static_cast<std::size_t>(i);
    album.tracks.push_back(track);
  }
  return album;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> FilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(folder, ignored)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class DetailsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("orvane-details-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "program");
    previous_ = fs::current_path();
    fs::current_path(root_ / "program");
  }
  void TearDown() override {
    CloseEverything();
    fs::current_path(previous_);
    fs::remove_all(root_);
  }

  void Open(const Album& album) {
    AlbumRow row{codepage::Utf8ToGbk(album.title), album.plays, album.trackCount.empty() ? std::to_string(album.tracks.size()) : album.trackCount,
                 codepage::Utf8ToGbk(album.intro), "http://" + service_.Host() + "/album/" + album.id,
                 service_.CoverUrl(album.id)};
    DetailsWindow::OpenAlbumDetails(row);
  }
  void OpenAndLoad(const Album& album) {
    Open(album);
    ASSERT_TRUE(WaitFor([] { return Chapter() == kLoaded; }));
  }

  static DetailsWindow* Window() { return DetailsWindow::Instance(); }
  static ReportListView* Tracks() { return Window()->VideoList(); }
  static QString Chapter() { return Window() == nullptr ? QString() : Window()->ChapterList()->text(); }
  template <typename T>
  static T* Get(const char* name) { return Control<T>(Window(), name); }
  static std::string Status(int row) { return Tracks()->Cell(row, 3); }

  // Clicks a download button, waits for the final notice and returns its text and icon.
  std::pair<QString, QMessageBox::Icon> Download(const char* button) {
    QTest::mouseClick(Get<QPushButton>(button), Qt::LeftButton);
    QMessageBox* notice = WaitForNotice(20000);
    if (notice == nullptr) return {QString(), QMessageBox::NoIcon};
    std::pair<QString, QMessageBox::Icon> result{notice->text(), notice->icon()};
    EXPECT_EQ(notice->windowTitle(), Q("提示信息"));
    EXPECT_FALSE(Get<QPushButton>("按钮1")->isEnabled());  // enabled only after the notice is closed
    Dismiss(notice);
    EXPECT_TRUE(WaitFor([] { return Window()->findChild<QPushButton*>(Q("按钮1"))->isEnabled(); }));
    return result;
  }
  std::vector<std::string> TrackRequests() const {
    std::vector<std::string> targets;
    for (const std::string& target : service_.Requests()) {
      if (target.rfind("/tracks/", 0) == 0) targets.push_back(target);
    }
    return targets;
  }
  fs::path Program() const { return root_ / "program"; }

  SampleService service_;
  ScopedHosts hosts_{service_.Host()};
  fs::path root_;
  fs::path previous_;
};

TEST_F(DetailsWindowTest, ControlsAsLaidOut) {
  Album album = MakeAlbum("5", 2);
  service_.SetCatalogue({.albums = {album}});
  OpenAndLoad(album);
  EXPECT_EQ(Window()->windowTitle(), Q("详情"));
  EXPECT_EQ(Window()->size(), QSize(500, 650));
  EXPECT_FALSE(Window()->windowFlags() & Qt::WindowMaximizeButtonHint);
  struct Expected {
    const char* name;
    QRect geometry;
    QString text;
  };
  const std::vector<Expected> controls = {
      {"headImg", {20, 20, 140, 140}, {}},
      {"name", {175, 20, 300, 25}, Q("Album")},
      {"details", {175, 55, 300, 25}, Q("1234次播放 | 2")},
      {"resume", {20, 170, 460, 25}, Q("简介：About Album")},
      {"chapterList", {20, 205, 460, 25}, kLoaded},
      {"按钮1", {300, 205, 80, 25}, Q("全本下载")},
      {"按钮2", {390, 205, 80, 25}, Q("部分下载")},
      {"选择框1", {20, 240, 60, 25}, Q("高音质")},
      {"选择框2", {90, 240, 70, 25}, Q("普通音质")},
      {"选择框3", {170, 240, 50, 25}, Q(".m4a")},
      {"选择框4", {230, 240, 50, 25}, Q(".mp3")},
      {"标签1", {290, 240, 15, 25}, Q("从")},
      {"编辑框1", {315, 240, 50, 25}, Q("1")},
      {"标签2", {375, 240, 15, 25}, Q("到")},
      {"编辑框2", {400, 240, 50, 25}, Q("2")},
      {"videoList", {20, 275, 460, 325}, {}},
  };
  for (const Expected& control : controls) {
    QWidget* widget = Get<QWidget>(control.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), control.geometry) << control.name;
    QString text;
    if (auto* label = qobject_cast<QLabel*>(widget)) text = label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) text = button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) text = edit->text();
    if (!control.text.isNull()) {
      EXPECT_EQ(text, control.text) << control.name;
    }
  }
  EXPECT_TRUE(Get<QCheckBox>("选择框1")->isChecked());
  EXPECT_FALSE(Get<QCheckBox>("选择框2")->isChecked());
  EXPECT_TRUE(Get<QCheckBox>("选择框3")->isChecked());
  EXPECT_FALSE(Get<QCheckBox>("选择框4")->isChecked());
  const QStringList columns = {Q("序号"), Q("名称"), Q("编号"), Q("下载状态")};
  const std::vector<int> widths = {50, 260, 60, 60};
  ASSERT_EQ(Tracks()->columnCount(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Tracks()->headerItem()->text(i), columns[i]);
    EXPECT_EQ(Tracks()->columnWidth(i), widths[static_cast<std::size_t>(i)]);
  }
  // The cover arrives off the GUI thread and is shown scaled to fit.
  EXPECT_TRUE(WaitFor([] { return !Get<QLabel>("headImg")->pixmap().isNull(); }));
  EXPECT_LE(Get<QLabel>("headImg")->pixmap().width(), 140);
}

TEST_F(DetailsWindowTest, LongTextsMoveTheControls) {
  Album album = MakeAlbum("6", 1, std::string(30, 'T'));
  album.intro = std::string(1540, 'i');
  service_.SetCatalogue({.albums = {album}});
  OpenAndLoad(album);
  EXPECT_EQ(Get<QLabel>("name")->geometry(), QRect(175, 20, 300, 40));
  EXPECT_TRUE(Get<QLabel>("name")->wordWrap());
  EXPECT_EQ(Get<QLabel>("details")->y(), 70);
  EXPECT_EQ(Get<QLabel>("resume")->geometry(), QRect(20, 170, 460, 207));
  EXPECT_EQ(Get<QLabel>("chapterList")->y(), 387);
  EXPECT_EQ(Get<QPushButton>("按钮2")->y(), 387);
  EXPECT_EQ(Get<QCheckBox>("选择框4")->y(), 422);
  EXPECT_EQ(Get<QLineEdit>("编辑框2")->y(), 422);
  EXPECT_EQ(Tracks()->geometry(), QRect(20, 457, 460, 143));
}

TEST_F(DetailsWindowTest, CheckBoxPairsKeepExactlyOneTicked) {
  Album album = MakeAlbum("7", 1);
  service_.SetCatalogue({.albums = {album}});
  OpenAndLoad(album);
  const std::vector<std::pair<const char*, const char*>> pairs = {
      {"选择框1", "选择框2"}, {"选择框2", "选择框1"}, {"选择框3", "选择框4"}, {"选择框4", "选择框3"}};
  for (const auto& [clicked, other] : pairs) {
    for (int click = 0; click < 2; ++click) {  // a click on a ticked box leaves it ticked
      QTest::mouseClick(Get<QCheckBox>(clicked), Qt::LeftButton);
      EXPECT_TRUE(Get<QCheckBox>(clicked)->isChecked()) << clicked << " click " << click;
      EXPECT_FALSE(Get<QCheckBox>(other)->isChecked()) << clicked << " click " << click;
    }
  }
}

TEST_F(DetailsWindowTest, ActivatingAResultOpensItAndASecondKeepsTheChoices) {
  Album first = MakeAlbum("8", 3, "First k");
  Album second = MakeAlbum("9", 2, "Second k");
  service_.SetCatalogue({.albums = {first, second}});
  ResultsWindow* results = ResultsWindow::Open();
  results->AppendAlbum({"First k", "1", "3", "a", "http://" + service_.Host() + "/album/8", service_.CoverUrl("8")});
  results->AppendAlbum({"Second k", "2", "2", "b", "http://" + service_.Host() + "/album/9", service_.CoverUrl("9")});
  QTreeWidget* list = results->List();
  list->setCurrentItem(list->topLevelItem(0));
  QTest::keyClick(list, Qt::Key_Return);
  ASSERT_NE(Window(), nullptr);
  ASSERT_TRUE(WaitFor([] { return Chapter() == kLoaded; }));
  EXPECT_EQ(Tracks()->RowCount(), 3);

  QTest::mouseClick(Get<QCheckBox>("选择框2"), Qt::LeftButton);
  QTest::mouseClick(Get<QCheckBox>("选择框4"), Qt::LeftButton);
  Get<QLineEdit>("编辑框1")->setText(Q("2"));
  QWidget* window = Window();

  list->setCurrentItem(list->topLevelItem(1));
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(Window(), window);
  EXPECT_EQ(Get<QLabel>("name")->text(), Q("Second k"));
  ASSERT_TRUE(WaitFor([] { return Chapter() == kLoaded && Tracks()->RowCount() == 2; }));
  EXPECT_EQ(Tracks()->columnCount(), 4);
  EXPECT_TRUE(Get<QCheckBox>("选择框2")->isChecked());
  EXPECT_TRUE(Get<QCheckBox>("选择框4")->isChecked());
  EXPECT_EQ(Get<QLineEdit>("编辑框1")->text(), Q("2"));
  EXPECT_EQ(Get<QLineEdit>("编辑框2")->text(), Q("2"));
  EXPECT_EQ(Tracks()->Cell(0, 2), "9101");
}

TEST_F(DetailsWindowTest, LoadsTheTrackListPageByPage) {
  Album album = MakeAlbum("10", 45);
  service_.SetCatalogue({.albums = {album}, .tracksPerPage = 20});
  service_.SetFault("/album/more_tracks?url=%2Falbum%2Fmore_tracks&aid=10&page=2",
                    {.kind = Fault::Kind::Slow, .delay = std::chrono::milliseconds(1500)});
  Open(album);
  ASSERT_TRUE(WaitFor([] { return Chapter() == Q("章节列表-正在加载，第2页内容"); }));
  EXPECT_EQ(Tracks()->RowCount(), 20);
  EXPECT_EQ(Get<QLineEdit>("编辑框2")->text(), Q("20"));
  ASSERT_TRUE(WaitFor([] { return Chapter() == kLoaded; }));
  EXPECT_EQ(Tracks()->RowCount(), 45);
  EXPECT_EQ(Get<QLineEdit>("编辑框2")->text(), Q("45"));
  EXPECT_EQ(Tracks()->Cell(20, 0), "21");  // numbers run on across pages
  EXPECT_EQ(Tracks()->Cell(20, 1), "Track 21");
  EXPECT_EQ(Tracks()->Cell(20, 2), "10121");
  EXPECT_EQ(Tracks()->Cell(20, 3), "");
}

TEST_F(DetailsWindowTest, FollowsAPageJumpAndStopsAtARepeatedPage) {
  Album album = MakeAlbum("11", 60);
  album.nextPages = {{1, 3}, {3, 1}};  // 1 -> 3, then back to 1
  service_.SetCatalogue({.albums = {album}, .tracksPerPage = 20});
  OpenAndLoad(album);
  std::vector<std::string> pages;
  for (const std::string& target : service_.Requests()) {
    if (target.rfind("/album/more_tracks", 0) == 0) pages.push_back(target.substr(target.rfind('=') + 1));
  }
  EXPECT_EQ(pages, (std::vector<std::string>{"1", "3"}));
  EXPECT_EQ(Tracks()->RowCount(), 40);
  EXPECT_EQ(Tracks()->Cell(20, 1), "Track 41");
}

TEST_F(DetailsWindowTest, AFailedFirstRequestShowsTheFailure) {
  Album album = MakeAlbum("12", 3);
  service_.SetCatalogue({.albums = {album}});
  service_.SetFault("/album/more_tracks", {.kind = Fault::Kind::CutShort});
  Open(album);
  ASSERT_TRUE(WaitFor([] { return Chapter() == Q("章节列表-加载失败"); }));
  EXPECT_EQ(Tracks()->RowCount(), 0);
  EXPECT_EQ(Get<QLineEdit>("编辑框2")->text(), QString());
}

TEST_F(DetailsWindowTest, DownloadsTheWholeAlbum) {
  Album album = MakeAlbum("20", 3, "My Album");
  service_.SetCatalogue({.albums = {album}});
  OpenAndLoad(album);
  const auto [text, icon] = Download("按钮1");
  EXPECT_EQ(text, Q("温馨提示，下载完成！"));
  EXPECT_EQ(icon, QMessageBox::Information);
  for (int row = 0; row < 3; ++row) EXPECT_EQ(Status(row), codepage::Utf8ToGbk("已完成")) << row;
  const fs::path folder = Program() / "My Album";
  EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"Track 1.m4a", "Track 2.m4a", "Track 3.m4a"}));
  EXPECT_EQ(ReadFile(folder / "Track 2.m4a"), SampleService::AudioBytes("20102", Quality::High, 3002));
}

TEST_F(DetailsWindowTest, DownloadsARangeInNormalQualityAsMp3) {
  Album album = MakeAlbum("21", 3, "Range");
  service_.SetCatalogue({.albums = {album}});
  OpenAndLoad(album);
  QTest::mouseClick(Get<QCheckBox>("选择框2"), Qt::LeftButton);
  QTest::mouseClick(Get<QCheckBox>("选择框4"), Qt::LeftButton);
  Get<QLineEdit>("编辑框1")->setText(Q("2"));
  Get<QLineEdit>("编辑框2")->setText(Q("2"));
  EXPECT_EQ(Download("按钮2").first, Q("温馨提示，下载完成！"));
  EXPECT_EQ(TrackRequests(), std::vector<std::string>{"/tracks/21102.json"});
  EXPECT_EQ(Status(0), "");
  EXPECT_EQ(Status(1), codepage::Utf8ToGbk("已完成"));
  EXPECT_EQ(FilesIn(Program() / "Range"), std::vector<std::string>{"Track 2.mp3"});
  EXPECT_EQ(ReadFile(Program() / "Range" / "Track 2.mp3"), SampleService::AudioBytes("21102", Quality::Normal, 3002));
}

TEST_F(DetailsWindowTest, BadRangesDownloadNothing) {
  Album album = MakeAlbum("22", 3);
  service_.SetCatalogue({.albums = {album}});
  OpenAndLoad(album);
  const std::vector<std::pair<const char*, const char*>> ranges = {{"0", "2"}, {"3", "2"}, {"1", "4"}, {"x", "2"}, {"1", ""}};
  for (const auto& [first, last] : ranges) {
    Get<QLineEdit>("编辑框1")->setText(Q(first));
    Get<QLineEdit>("编辑框2")->setText(Q(last));
    const auto [text, icon] = Download("按钮2");
    EXPECT_EQ(text, Q("温馨提示，下载范围有误，请重新输入！")) << first << ".." << last;
    EXPECT_EQ(icon, QMessageBox::Warning);
  }
  EXPECT_TRUE(TrackRequests().empty());
  EXPECT_FALSE(fs::exists(Program() / "Album"));
}

TEST_F(DetailsWindowTest, APaidTrackEndsTheDownloadAtItsRow) {
  Album album = MakeAlbum("23", 3, "Paid");
  album.tracks[1].hasHighQuality = false;  // the normal-quality path alone does not help
  service_.SetCatalogue({.albums = {album}});
  OpenAndLoad(album);
  const auto [text, icon] = Download("按钮1");
  EXPECT_EQ(text, Q("温馨提示，该专辑内容为付费，不支持下载！"));
  EXPECT_EQ(icon, QMessageBox::Warning);
  EXPECT_EQ(Status(0), codepage::Utf8ToGbk("已完成"));
  EXPECT_EQ(Status(1), codepage::Utf8ToGbk("正在下载"));
  EXPECT_EQ(Status(2), "");
  EXPECT_EQ(TrackRequests().size(), 2u);
  EXPECT_EQ(FilesIn(Program() / "Paid"), std::vector<std::string>{"Track 1.m4a"});
}

TEST_F(DetailsWindowTest, FailedTracksAreCountedAndExistingFilesKept) {
  Album album = MakeAlbum("24", 3, "Kept");
  service_.SetCatalogue({.albums = {album}});
  OpenAndLoad(album);
  ASSERT_EQ(Download("按钮1").first, Q("温馨提示，下载完成！"));
  const std::string before = ReadFile(Program() / "Kept" / "Track 1.m4a");

  // Track 1's audio now fails, track 2's record is no JSON, track 3 is fine.
  service_.SetFault("/audio/24101", {.kind = Fault::Kind::Status, .status = 500});
  service_.SetFault("/tracks/24102.json", {.kind = Fault::Kind::NotJson});
  const auto [text, icon] = Download("按钮1");
  EXPECT_EQ(text, Q("温馨提示，下载完成，有2个文件下载失败！"));
  EXPECT_EQ(icon, QMessageBox::Warning);
  EXPECT_EQ(Status(0), codepage::Utf8ToGbk("下载失败"));
  EXPECT_EQ(Status(1), codepage::Utf8ToGbk("下载失败"));
  EXPECT_EQ(Status(2), codepage::Utf8ToGbk("已完成"));
  EXPECT_EQ(ReadFile(Program() / "Kept" / "Track 1.m4a"), before);
  EXPECT_EQ(FilesIn(Program() / "Kept"), (std::vector<std::string>{"Track 1.m4a", "Track 2.m4a", "Track 3.m4a"}));
}

TEST_F(DetailsWindowTest, NamesFromTheNetworkStayInsideTheProgramFolder) {
  Album album = MakeAlbum("25", 4, "Names");
  album.tracks[0].title = "a/b";
  album.tracks[1].title = "a:b";
  album.tracks[2].title = "\\/:*?|<>\"";
  album.tracks[3].title = "第一集";
  for (Track& track : album.tracks) track.albumTitle = "../../escaped";
  service_.SetCatalogue({.albums = {album}});
  OpenAndLoad(album);
  EXPECT_EQ(Download("按钮1").first, Q("温馨提示，下载完成！"));
  EXPECT_EQ(FilesIn(root_), std::vector<std::string>{"program"});
  EXPECT_EQ(FilesIn(Program()), std::vector<std::string>{"....escaped"});
  EXPECT_EQ(FilesIn(Program() / "....escaped"),
            (std::vector<std::string>{"25103.m4a", "ab (2).m4a", "ab.m4a", "第一集.m4a"}));
}

TEST_F(DetailsWindowTest, ClosingTheWindowMidDownloadLeavesNoTemporaryFile) {
  Album album = MakeAlbum("26", 2, "Closed");
  album.tracks[1].audioSize = 1 << 20;
  service_.SetCatalogue({.albums = {album}});
  service_.SetFault("/audio/26102", {.kind = Fault::Kind::Stall, .delay = std::chrono::milliseconds(8000)});
  OpenAndLoad(album);
  QTest::mouseClick(Get<QPushButton>("按钮1"), Qt::LeftButton);
  ASSERT_TRUE(WaitFor([] { return Status(1) == codepage::Utf8ToGbk("正在下载"); }));
  QTest::qWait(300);  // the stalled transfer has begun writing its temporary file
  Window()->close();
  EXPECT_TRUE(WorkerPool::Instance().WaitIdle(std::chrono::seconds(5)));
  EXPECT_EQ(FilesIn(Program() / "Closed"), std::vector<std::string>{"Track 1.m4a"});
  EXPECT_EQ(OpenNotice(), nullptr);
}

TEST_F(DetailsWindowTest, ALateCoverOfAnEarlierAlbumIsDropped) {
  Album first = MakeAlbum("30", 1, "First");
  Album second = MakeAlbum("31", 1, "Second");
  service_.SetCatalogue({.albums = {first, second}});
  const auto path = [this](const std::string& id) {
    const std::string url = service_.CoverUrl(id);
    return url.substr(url.find(service_.Host()) + service_.Host().size());
  };
  service_.SetFault(path("30"), {.kind = Fault::Kind::Slow, .delay = std::chrono::milliseconds(800)});
  service_.SetFault(path("31"), {.kind = Fault::Kind::Status, .status = 404});
  Open(first);
  Open(second);
  QTest::qWait(1500);  // the first album's cover has arrived by now
  EXPECT_TRUE(Get<QLabel>("headImg")->pixmap().isNull());
}

TEST_F(DetailsWindowTest, AFolderThatCannotBeMadeEndsTheRunWithAWarning) {
  Album album = MakeAlbum("27", 2, "Blocked");
  service_.SetCatalogue({.albums = {album}});
  std::ofstream(Program() / "Blocked") << "a file where the folder would go";
  OpenAndLoad(album);
  const auto [text, icon] = Download("按钮1");
  EXPECT_EQ(text, Q("温馨提示，无法写入文件夹：") + QString::fromStdString((Program() / "Blocked").string()) + Q("！"));
  EXPECT_EQ(icon, QMessageBox::Warning);
  EXPECT_EQ(TrackRequests().size(), 1u);  // the run ends at the first track
  EXPECT_EQ(ReadFile(Program() / "Blocked"), "a file where the folder would go");
}

TEST_F(DetailsWindowTest, ADownloadGoesOnForItsAlbumWhenAnotherIsOpened) {
  Album first = MakeAlbum("28", 2, "First");
  Album second = MakeAlbum("29", 3, "Second");
  service_.SetCatalogue({.albums = {first, second}});
  service_.SetFault("/audio/28101", {.kind = Fault::Kind::Slow, .delay = std::chrono::milliseconds(1000)});
  OpenAndLoad(first);
  QTest::mouseClick(Get<QPushButton>("按钮1"), Qt::LeftButton);
  ASSERT_TRUE(WaitFor([] { return Status(0) == codepage::Utf8ToGbk("正在下载"); }));
  Open(second);
  ASSERT_TRUE(WaitFor([] { return Chapter() == kLoaded && Tracks()->RowCount() == 3; }));
  QMessageBox* notice = WaitForNotice(20000);
  ASSERT_NE(notice, nullptr);
  EXPECT_EQ(notice->text(), Q("温馨提示，下载完成！"));
  Dismiss(notice);
  EXPECT_EQ(FilesIn(Program() / "First"), (std::vector<std::string>{"Track 1.m4a", "Track 2.m4a"}));
  for (int row = 0; row < 3; ++row) EXPECT_EQ(Status(row), "") << "the second album's rows stay untouched";
  EXPECT_TRUE(WaitFor([] { return Get<QPushButton>("按钮1")->isEnabled(); }));
}

}  // namespace
}  // namespace orvane
