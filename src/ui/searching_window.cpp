// The sub-directory walk on a worker thread. The thread shares only a small state block with
// the window (kept alive by both), so a cancelled walk on a slow network tree can go on
// finishing in the background without blocking the window or touching freed memory.
#include "ui/searching_window.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <mutex>
#include <thread>

#include "job/directory_list.h"
#include "job/path_style.h"
#include "ui/window_placement.h"

namespace quorvel::ui {

struct SearchingWindow::Shared {
  std::atomic<bool> cancel{false};
  std::atomic<bool> done{false};
  std::atomic<int> count{0};
  std::mutex mutex;
  std::vector<std::string> found;  // guarded by mutex
};

namespace {
constexpr int kPollMilliseconds = 40;
}

SearchingWindow::SearchingWindow(std::string dir, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      dir_(std::move(dir)),
      shared_(std::make_shared<Shared>()),
      count_label_(new QLabel(this)),
      busy_(new QProgressBar(this)),
      cancel_button_(new QPushButton(tr("&Cancel"), this)),
      poll_timer_(new QTimer(this)) {
  setObjectName(QStringLiteral("SearchingForm"));
  setWindowTitle(QStringLiteral("Searching"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* what =
      new QLabel(tr("Looking for directories below\n%1").arg(QString::fromStdString(dir_)), this);
  what->setWordWrap(true);
  layout->addWidget(what);
  busy_->setRange(0, 0);  // an indeterminate bar animates by itself
  busy_->setTextVisible(false);
  busy_->setMinimumWidth(260);
  layout->addWidget(busy_);
  layout->addWidget(count_label_);
  layout->addWidget(cancel_button_, 0, Qt::AlignHCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  count_label_->setText(tr("%1 directories found").arg(0));
  cancel_button_->setObjectName(QStringLiteral("CancelBtn"));
  connect(cancel_button_, &QPushButton::clicked, this, &SearchingWindow::reject);
  poll_timer_->setInterval(kPollMilliseconds);
  connect(poll_timer_, &QTimer::timeout, this, &SearchingWindow::Poll);
}

SearchingWindow::~SearchingWindow() { shared_->cancel = true; }

void SearchingWindow::showEvent(QShowEvent* event) {
  adjustSize();
  CentreOnScreen(this);
  QDialog::showEvent(event);
  Start();
}

void SearchingWindow::Start() {
  if (started_) return;
  started_ = true;
  std::thread([shared = shared_, dir = dir_] {
    ScanSubDirectories(
        dir,
        [&](const std::string& path) {
          std::lock_guard<std::mutex> lock(shared->mutex);
          shared->found.push_back(path);
          ++shared->count;
        },
        [&] { return shared->cancel.load(); });
    shared->done = true;
  }).detach();
  poll_timer_->start();
}

void SearchingWindow::Poll() {
  count_label_->setText(tr("%1 directories found").arg(shared_->count.load()));
  if (!shared_->done) return;
  poll_timer_->stop();
  {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    found_ = std::move(shared_->found);
  }
  done_ = true;
  emit finished();
  if (isVisible()) accept();
}

void SearchingWindow::reject() {
  if (!done_) {
    cancelled_ = true;
    shared_->cancel = true;
    poll_timer_->stop();
  }
  QDialog::reject();
}

SearchingWindow::Outcome SearchingWindow::Walk(const std::string& dir, OutputSettings& output,
                                               QWidget* parent, const ModalRunner& modal) {
  SearchingWindow window(dir, parent);
  if (modal) {
    modal(window);
  } else {
    window.exec();
  }
  if (!window.done_ || window.cancelled_) {
    window.reject();
    return Outcome::Cancelled;
  }
  for (const std::string& path : window.found_) AddDirectoryEntry(output, path, kNativePathStyle);
  return Outcome::Completed;
}

}  // namespace quorvel::ui
