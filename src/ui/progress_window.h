// The progress window "Process stats" shown for the whole of a generation run: caption
// "Process stats [i / n]", a bar, the current image's name, "&Stop" (also Esc) and, once a
// few images are done, the images per second and the time left on either side of "&Stop".
//
// API:
//   RunSummary ProgressWindow::Execute(run, parent)  // after run.StartRun() == Started:
//       shows the window modally, drives run.RunTick() from a 1 ms QTimer and returns the
//       run's summary when the run finished or was stopped.
//   Step by step (tests, or a caller with its own timer, through Execute's modal runner):
//       w.Tick() ... ; the window accepts itself after the last tick and rejects (after
//       StopRun) on "&Stop", Esc or close.
//   ElideMiddle(path, width, measure): the label's "start...end" rule as a pure function.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
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

class ProgressWindow : public QDialog {
  Q_OBJECT
 public:
  // Shows a modal dialog (default: exec()); tests replace it to step the run themselves.
  using ModalRunner = std::function<int(ProgressWindow&)>;

  explicit ProgressWindow(QWidget* parent = nullptr);

  // The 1 ms timer ticks the run while the window is shown; a modal runner that ticks the
  // run itself stops it first (the timer is the window's one QTimer child).
  static RunSummary Execute(GenerationRun& run, QWidget* parent, const ModalRunner& modal = {});

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
  void Attach(GenerationRun* run);
  // Shows `path` in the label with the middle ellipsis.
  void SetImageName(const QString& path);
  void ShowState();

  GenerationRun* run_ = nullptr;
  QElapsedTimer clock_;
  QLabel* image_name_label_;
  QLabel* rate_label_;
  QLabel* time_left_label_;
  QProgressBar* progress_bar_;
  QPushButton* stop_button_;
  QTimer* timer_;
};

}  // namespace quorvel::ui
