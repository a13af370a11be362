#include "album/DetailsWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>

#include "album/AlbumLayout.h"
#include "album/TrackListWorker.h"
#include "download/DownloadWorker.h"
#include "platform/GuiBridge.h"
#include "platform/HttpFetch.h"
#include "platform/Notice.h"
#include "platform/QtText.h"
#include "platform/ReportListView.h"
#include "platform/WindowSetup.h"
#include "platform/WorkerPool.h"

namespace orvane {
namespace {

QPointer<DetailsWindow> g_instance;

constexpr int kCoverSize = 140;
constexpr std::size_t kMaxCoverBytes = 16u << 20;

// The track-list loader's view of the window. The loader of an earlier album is stopped before the
// rows are emptied, and a stopped worker's calls never run, so its rows never mix with the new ones.
class WindowTrackListView : public TrackListView {
 public:
  WindowTrackListView(QPointer<DetailsWindow> window, std::stop_token stop)
      : window_(std::move(window)), stop_(std::move(stop)) {}

  bool AppendTracks(const std::vector<TrackRow>& tracks) override {
    return RunOnGui(window_, stop_, [&] {
      ReportListView* list = window_->VideoList();
      for (const TrackRow& track : tracks) {
        const int row = list->AppendRow();
        list->SetCell(row, 0, std::to_string(row + 1));
        list->SetCell(row, 1, track.title);
        list->SetCell(row, 2, track.id);
      }
      window_->RangeLast()->setText(QString::number(list->RowCount()));
    });
  }
  bool SetCaption(const std::string& caption) override {
    return RunOnGui(window_, stop_, [&] { window_->ChapterList()->setText(ToQString(caption)); });
  }

 private:
  QPointer<DetailsWindow> window_;
  std::stop_token stop_;
};

// The download's view of the window. Statuses go only into the rows of the album the download was
// started for; after another album is opened the download goes on without writing them.
class WindowDownloadView : public DownloadView {
 public:
  WindowDownloadView(QPointer<DetailsWindow> window, unsigned generation, std::stop_token stop)
      : window_(std::move(window)), generation_(generation), stop_(std::move(stop)) {}

  bool DisableControls() override {
    return RunOnGui(window_, stop_, [this] { window_->DisableDownloadControls(); });
  }
  bool EnableControls() override {
    return RunOnGui(window_, stop_, [this] { window_->EnableDownloadControls(); });
  }
  bool SetStatus(int row, const std::string& status) override {
    return RunOnGui(window_, stop_, [&] {
      if (window_->AlbumGeneration() == generation_) window_->VideoList()->SetCell(row, 3, status);
    });
  }
  bool ShowNotice(const std::string& text, NoticeKind kind) override {
    return ShowNoticeAndWait(window_, stop_, ToQString(text), QStringLiteral("提示信息"),
                             kind == NoticeKind::Warning ? QMessageBox::Warning : QMessageBox::Information);
  }

 private:
  QPointer<DetailsWindow> window_;
  unsigned generation_;
  std::stop_token stop_;
};

QLabel* PlaceLabel(QWidget* window, const QString& name, int left, int top, int width, const QString& text) {
  auto* label = PlaceControl<QLabel>(window, name, left, top, width, 25, text);
  label->setTextFormat(Qt::PlainText);  // album texts come from the network
  return label;
}

}  // namespace

DetailsWindow* DetailsWindow::Instance() { return g_instance; }

void DetailsWindow::OpenAlbumDetails(const AlbumRow& album) {
  if (g_instance.isNull()) {
    g_instance = new DetailsWindow;
    g_instance->show();
  } else {
    BringToFront(g_instance);
  }
  g_instance->ShowAlbum(album);
}

DetailsWindow::DetailsWindow() {
  setAttribute(Qt::WA_DeleteOnClose);
  SetUpFixedWindow(this, QStringLiteral("详情"), 500, 650);
  headImg_ = PlaceControl<QLabel>(this, QStringLiteral("headImg"), 20, 20, kCoverSize, kCoverSize);
  headImg_->setAlignment(Qt::AlignCenter);
  name_ = PlaceLabel(this, QStringLiteral("name"), 175, 20, 300, QStringLiteral("标签"));
  details_ = PlaceLabel(this, QStringLiteral("details"), 175, 50, 300, QStringLiteral("标签"));
  resume_ = PlaceLabel(this, QStringLiteral("resume"), 20, 170, 460, QStringLiteral("标签"));
  resume_->setWordWrap(true);
  resume_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  chapterList_ = PlaceLabel(this, QStringLiteral("chapterList"), 20, 205, 460, QStringLiteral("章节列表"));
  whole_ = PlaceControl<QPushButton>(this, QStringLiteral("按钮1"), 300, 205, 80, 25, QStringLiteral("全本下载"));
  range_ = PlaceControl<QPushButton>(this, QStringLiteral("按钮2"), 390, 205, 80, 25, QStringLiteral("部分下载"));
  high_ = PlaceControl<QCheckBox>(this, QStringLiteral("选择框1"), 20, 240, 60, 25, QStringLiteral("高音质"));
  normal_ = PlaceControl<QCheckBox>(this, QStringLiteral("选择框2"), 90, 240, 70, 25, QStringLiteral("普通音质"));
  m4a_ = PlaceControl<QCheckBox>(this, QStringLiteral("选择框3"), 170, 240, 50, 25, QStringLiteral(".m4a"));
  mp3_ = PlaceControl<QCheckBox>(this, QStringLiteral("选择框4"), 230, 240, 50, 25, QStringLiteral(".mp3"));
  from_ = PlaceLabel(this, QStringLiteral("标签1"), 290, 240, 15, QStringLiteral("从"));
  first_ = PlaceControl<QLineEdit>(this, QStringLiteral("编辑框1"), 315, 240, 50, 25);
  to_ = PlaceLabel(this, QStringLiteral("标签2"), 375, 240, 15, QStringLiteral("到"));
  last_ = PlaceControl<QLineEdit>(this, QStringLiteral("编辑框2"), 400, 240, 50, 25);
  videoList_ = PlaceControl<ReportListView>(this, QStringLiteral("videoList"), 20, 300, 460, 25);

  // Each box of a pair ticks itself and unticks the other, so exactly one stays ticked.
  const auto pair = [](QCheckBox* clicked, QCheckBox* other) {
    connect(clicked, &QCheckBox::clicked, clicked, [clicked, other] {
      clicked->setChecked(true);
      other->setChecked(false);
    });
  };
  pair(high_, normal_);
  pair(normal_, high_);
  pair(m4a_, mp3_);
  pair(mp3_, m4a_);

  connect(whole_, &QPushButton::clicked, this, [this] {
    first_->setText(QStringLiteral("1"));
    last_->setText(QString::number(videoList_->RowCount()));
    StartDownload();
  });
  connect(range_, &QPushButton::clicked, this, &DetailsWindow::StartDownload);
  Created();
}

DetailsWindow::~DetailsWindow() { StopWorkers(); }

void DetailsWindow::Created() {
  videoList_->InsertColumn(QStringLiteral("序号"), 50);
  videoList_->InsertColumn(QStringLiteral("名称"), 260);
  videoList_->InsertColumn(QStringLiteral("编号"), 60);
  videoList_->InsertColumn(QStringLiteral("下载状态"), 60);
  high_->setChecked(true);
  normal_->setChecked(false);
  m4a_->setChecked(true);
  mp3_->setChecked(false);
  first_->setText(QStringLiteral("1"));
}

void DetailsWindow::ShowAlbum(const AlbumRow& album) {
  ++generation_;
  loader_.request_stop();
  videoList_->RemoveAllRows();
  FetchCover(album.cover);
  name_->setText(ToQString(album.title));
  details_->setText(ToQString(album.plays + codepage::Utf8ToGbk("次播放 | ") + album.tracks));
  resume_->setText(ToQString(codepage::Utf8ToGbk("简介：") + album.intro));
  LayOut(album);

  QPointer<DetailsWindow> self(this);
  loader_ = WorkerPool::Instance().Start([self, address = album.link](std::stop_token stop) {
    WindowTrackListView view(self, stop);
    TrackListWorker(view, address, stop);
  });
}

void DetailsWindow::LayOut(const AlbumRow& album) {
  const AlbumLayout layout = LayOutAlbum(album.title.size(), album.intro.size());
  name_->setGeometry(175, 20, 300, layout.nameHeight);
  name_->setWordWrap(layout.nameWordWrap);
  name_->setAlignment(layout.nameWordWrap ? Qt::AlignLeft | Qt::AlignTop : Qt::AlignLeft | Qt::AlignVCenter);
  details_->move(details_->x(), layout.detailsTop);
  resume_->setGeometry(20, layout.resumeTop, 460, layout.resumeHeight);
  for (QWidget* control : std::initializer_list<QWidget*>{chapterList_, whole_, range_}) {
    control->move(control->x(), layout.chapterListTop);
  }
  for (QWidget* control :
       std::initializer_list<QWidget*>{from_, to_, first_, last_, high_, normal_, m4a_, mp3_}) {
    control->move(control->x(), layout.optionsTop);
  }
  videoList_->setGeometry(20, layout.videoListTop, 460, layout.videoListHeight);
}

void DetailsWindow::FetchCover(const std::string& address) {
  cover_.request_stop();
  headImg_->clear();
  if (address.empty()) return;
  QPointer<DetailsWindow> self(this);
  // The fetch is stopped when another album is opened, so a late cover never reaches the picture.
  cover_ = WorkerPool::Instance().Start([self, address](std::stop_token stop) {
    const std::optional<std::string> bytes = FetchBytes(address, {.stop = stop, .maxBytes = kMaxCoverBytes});
    if (!bytes) return;
    QImage image;
    if (!image.loadFromData(reinterpret_cast<const uchar*>(bytes->data()), static_cast<int>(bytes->size()))) return;
    image = image.scaled(kCoverSize, kCoverSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    RunOnGui(self, stop, [&] { self->headImg_->setPixmap(QPixmap::fromImage(image)); });
  });
}

void DetailsWindow::StartDownload() {
  // Disabled here already, so a second click cannot start a second download.
  DisableDownloadControls();
  // Read now, in the click: by the time the worker runs another album may fill the list.
  DownloadRequest request;
  request.firstText = ToGbk(first_->text());
  request.lastText = ToGbk(last_->text());
  request.highQuality = high_->isChecked();
  request.m4a = m4a_->isChecked();
  for (int row = 0; row < videoList_->RowCount(); ++row) request.trackIds.push_back(videoList_->Cell(row, 2));

  QPointer<DetailsWindow> self(this);
  download_ = WorkerPool::Instance().Start(
      [self, generation = generation_, request = std::move(request)](std::stop_token stop) {
        WindowDownloadView view(self, generation, stop);
        DownloadWorker(view, request, stop);
      });
}

void DetailsWindow::DisableDownloadControls() { SetDownloadControlsEnabled(false); }

void DetailsWindow::EnableDownloadControls() { SetDownloadControlsEnabled(true); }

void DetailsWindow::SetDownloadControlsEnabled(bool enabled) {
  for (QWidget* control :
       std::initializer_list<QWidget*>{whole_, range_, first_, last_, high_, normal_, m4a_, mp3_}) {
    control->setEnabled(enabled);
  }
}

void DetailsWindow::StopWorkers() {
  cover_.request_stop();
  loader_.request_stop();
  download_.request_stop();
}

void DetailsWindow::closeEvent(QCloseEvent* event) {
  StopWorkers();
  QWidget::closeEvent(event);
}

}  // namespace orvane
