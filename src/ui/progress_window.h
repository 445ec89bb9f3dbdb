// The progress window "Process stats" shown for the whole of a generation run: caption
// "Process stats [i / n]", a bar, the current image's name and "&Stop" (also Esc).
//
// API:
//   RunSummary ProgressWindow::Execute(run, parent)  // after run.StartRun() == Started:
//       shows the window modally, drives run.RunTick() from a 1 ms QTimer, returns when the
//       run finished or was stopped, then shows the failure summary when there is one.
//   Step by step (tests, or a caller with its own timer): ProgressWindow w; w.Attach(&run);
//       w.show(); w.Tick() ... ; the window accepts itself after the last tick and rejects
//       (after StopRun) on "&Stop", Esc or close.
//   ElideMiddle(path, width, measure): the label's "start...end" rule as a pure function.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "run/generation_run.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace quorvel::ui {

// `path` whole if measure(path) <= width; otherwise halves L and R with "..." between,
// shortened one character on each side at a time until not wider than width - measure("WW").
QString ElideMiddle(const QString& path, int width,
                    const std::function<int(const QString&)>& measure);

// The message shown at the end of a run with failures; empty when there are none.
QString FailureSummaryText(const RunSummary& summary);

class ProgressWindow : public QDialog {
  Q_OBJECT
 public:
  // Shows a modal dialog (default: exec()); tests replace it to step the run themselves.
  using ModalRunner = std::function<int(ProgressWindow&)>;
  // Shows the failure summary (default: a warning message box with the details).
  using SummaryShower = std::function<void(QWidget* parent, const QString& text)>;

  explicit ProgressWindow(QWidget* parent = nullptr);

  static RunSummary Execute(GenerationRun& run, QWidget* parent, const ModalRunner& modal = {},
                            const SummaryShower& shower = {});
  static void ShowFailureSummary(QWidget* parent, const QString& text);

  void Attach(GenerationRun* run);
  // Shows `path` in the label with the middle ellipsis.
  void SetImageName(const QString& path);

  QLabel* ImageNameLabel() const { return image_name_label_; }
  QProgressBar* ProgressBar() const { return progress_bar_; }
  QPushButton* StopButton() const { return stop_button_; }
  QTimer* ProcessTimer() const { return timer_; }

 public slots:
  // One image (or the closing of the last page); false once the run is over.
  bool Tick();
  // Esc, "&Stop" and the window manager's close all stop the run between two images.
  void reject() override;

 signals:
  void stopRequested();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void ShowState();

  GenerationRun* run_ = nullptr;
  QLabel* image_name_label_;
  QProgressBar* progress_bar_;
  QPushButton* stop_button_;
  QTimer* timer_;
};

}  // namespace quorvel::ui
