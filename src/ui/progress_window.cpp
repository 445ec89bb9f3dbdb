// The progress window of a run and its timer loop: one image per 1 ms tick on the UI thread.
#include "ui/progress_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace quorvel::ui {
namespace {

constexpr int kClientWidth = 337;
constexpr int kClientHeight = 81;
constexpr int kMaxListedFailures = 10;

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

QString FailureSummaryText(const RunSummary& summary) {
  if (summary.failures.empty() && summary.page_error.empty()) return {};
  QString text;
  if (!summary.page_error.empty()) {
    text += QString::fromStdString(summary.page_error) + QLatin1Char('\n');
  }
  if (!summary.failures.empty()) {
    text += QStringLiteral("%1 of %2 images could not be processed:\n")
                .arg(summary.failures.size())
                .arg(summary.images_done + summary.images_failed);
    int listed = 0;
    for (const ImageFailure& failure : summary.failures) {
      if (listed++ == kMaxListedFailures) {
        text += QStringLiteral("... and %1 more\n")
                    .arg(static_cast<int>(summary.failures.size()) - kMaxListedFailures);
        break;
      }
      text += QString::fromStdString(failure.path) + QStringLiteral(": ") +
              QString::fromStdString(failure.message) + QLatin1Char('\n');
    }
  }
  return text.trimmed();
}

ProgressWindow::ProgressWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      image_name_label_(new QLabel(this)),
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
  stop_button_->setObjectName(QStringLiteral("StopBtn"));
  stop_button_->setGeometry(131, 48, 75, 25);
  stop_button_->setAutoDefault(false);
  connect(stop_button_, &QPushButton::clicked, this, &ProgressWindow::reject);
  timer_->setInterval(1);
  connect(timer_, &QTimer::timeout, this, &ProgressWindow::Tick);
}

void ProgressWindow::Attach(GenerationRun* run) {
  run_ = run;
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

void ProgressWindow::ShowFailureSummary(QWidget* parent, const QString& text) {
  QMessageBox::warning(parent, QStringLiteral("Process stats"), text);
}

RunSummary ProgressWindow::Execute(GenerationRun& run, QWidget* parent, const ModalRunner& modal,
                                   const SummaryShower& shower) {
  ProgressWindow window(parent);
  window.Attach(&run);
  window.ProcessTimer()->start();
  if (modal) {
    modal(window);
  } else {
    window.exec();
  }
  window.ProcessTimer()->stop();
  // A runner that returned early must not leave a page half written.
  if (run.running()) run.StopRun();
  const QString text = FailureSummaryText(run.summary());
  if (!text.isEmpty()) (shower ? shower : ShowFailureSummary)(parent, text);
  return run.summary();
}

}  // namespace quorvel::ui
