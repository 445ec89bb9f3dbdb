// The progress window of a run and its timer loop: one image per 1 ms tick on the UI thread.
#include "ui/progress_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "run/run_pace.h"
#include "ui/window_placement.h"

namespace quorvel::ui {
namespace {

constexpr int kClientWidth = 337;
constexpr int kClientHeight = 81;

}  // namespace

QString ElideMiddle(const QString& path, int width,
                    const std::function<int(const QString&)>& measure) {
  if (measure(path) <= width) return path;
  // Work on code points so that a character outside the BMP is never cut in two.
  const QList<uint> points = path.toUcs4();
  const qsizetype half = points.size() / 2;
  QList<uint> left = points.mid(0, half);
  QList<uint> right = points.mid(half);
  const int limit = width - measure(QStringLiteral("WW"));
  const QString dots = QStringLiteral("...");
  for (;;) {
    const QString candidate =
        QString::fromUcs4(reinterpret_cast<const char32_t*>(left.data()), left.size()) + dots +
        QString::fromUcs4(reinterpret_cast<const char32_t*>(right.data()), right.size());
    if (measure(candidate) <= limit || (left.isEmpty() && right.isEmpty())) return candidate;
    if (!left.isEmpty()) left.removeLast();
    if (!right.isEmpty()) right.removeFirst();
  }
}

ProgressWindow::ProgressWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      image_name_label_(new QLabel(this)),
      rate_label_(new QLabel(this)),
      time_left_label_(new QLabel(this)),
      progress_bar_(new QProgressBar(this)),
      stop_button_(new QPushButton(tr("&Stop"), this)),
      timer_(new QTimer(this)) {
  setObjectName(QStringLiteral("ProcessForm"));
  setWindowTitle(QStringLiteral("Process stats"));
  setModal(true);
  setFixedSize(kClientWidth, kClientHeight);
  image_name_label_->setObjectName(QStringLiteral("ImageNameLabel"));
  image_name_label_->setGeometry(8, 6, 321, 17);
  image_name_label_->setAlignment(Qt::AlignCenter);
  progress_bar_->setObjectName(QStringLiteral("ProgressBar"));
  progress_bar_->setGeometry(8, 24, 321, 16);
  progress_bar_->setRange(0, 0);
  progress_bar_->setTextVisible(false);
  rate_label_->setObjectName(QStringLiteral("RateLabel"));
  rate_label_->setGeometry(8, 48, 118, 25);
  rate_label_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  time_left_label_->setObjectName(QStringLiteral("TimeLeftLabel"));
  time_left_label_->setGeometry(211, 48, 118, 25);
  time_left_label_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  stop_button_->setObjectName(QStringLiteral("StopBtn"));
  stop_button_->setGeometry(131, 48, 75, 25);
  stop_button_->setAutoDefault(false);
  connect(stop_button_, &QPushButton::clicked, this, &ProgressWindow::reject);
  timer_->setInterval(1);
  connect(timer_, &QTimer::timeout, this, &ProgressWindow::Tick);
}

void ProgressWindow::Attach(GenerationRun* run) {
  run_ = run;
  clock_.start();
  ShowState();
}

void ProgressWindow::SetImageName(const QString& path) {
  const QFontMetrics metrics = image_name_label_->fontMetrics();
  image_name_label_->setText(
      ElideMiddle(path, image_name_label_->width(),
                  [&](const QString& text) { return metrics.horizontalAdvance(text); }));
  image_name_label_->setToolTip(path);
}

void ProgressWindow::ShowState() {
  if (run_ == nullptr) return;
  setWindowTitle(QString::fromStdString(run_->ProgressTitle()));
  progress_bar_->setRange(0, run_->image_count());
  progress_bar_->setValue(std::min(run_->image_index(), run_->image_count()));
  SetImageName(QString::fromStdString(run_->current_image()));
  const RunPace pace = PaceText(run_->image_index(), run_->image_count(), clock_.elapsed());
  rate_label_->setText(QString::fromStdString(pace.rate));
  time_left_label_->setText(QString::fromStdString(pace.left));
}

bool ProgressWindow::Tick() {
  if (run_ == nullptr) return false;
  const bool more = run_->running() && run_->RunTick();
  ShowState();
  if (!more) {
    timer_->stop();
    if (isVisible()) accept();
  }
  return more;
}

void ProgressWindow::reject() {
  timer_->stop();
  if (run_ != nullptr && run_->running()) {
    run_->StopRun();
    ShowState();
  }
  emit stopRequested();
  QDialog::reject();
}

void ProgressWindow::showEvent(QShowEvent* event) {
  ShowState();
  CentreOnScreen(this);
  QDialog::showEvent(event);
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
  // However the window is closed, the run must not go on without it.
  if (run_ != nullptr && run_->running()) {
    event->ignore();
    reject();
    return;
  }
  QDialog::closeEvent(event);
}

RunSummary ProgressWindow::Execute(GenerationRun& run, QWidget* parent, const ModalRunner& modal) {
  ProgressWindow window(parent);
  window.Attach(&run);
  window.timer_->start();
  if (modal) {
    modal(window);
  } else {
    window.exec();
  }
  window.timer_->stop();
  // A runner that returned early must not leave a page half written.
  if (run.running()) run.StopRun();
  return run.summary();
}

}  // namespace quorvel::ui
