// The searching window "Searching": walks a directory tree off the UI thread while a busy
// indicator runs, then hands the directories found to the directory list on the UI thread.
//
// API:
//   SearchingWindow::Outcome SearchingWindow::Walk(dir, output, parent)
//       shows the window modally, adds every directory below `dir` through AddDirectoryEntry
//       (elimination rule included) when the walk completes, and returns Completed; after
//       "&Cancel" nothing at all is added and Cancelled is returned.
//   Walk's modal runner may show the window and wait: the walk starts when the window is
//       shown, and the window closes itself (Accepted) when it ends; its "&Cancel" button
//       ("CancelBtn") rejects it.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "job/gallery_settings.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace quorvel::ui {

class SearchingWindow : public QDialog {
  Q_OBJECT
 public:
  enum class Outcome { Completed, Cancelled };
  using ModalRunner = std::function<int(SearchingWindow&)>;

  explicit SearchingWindow(std::string dir, QWidget* parent = nullptr);
  // A walk still running is told to stop; its thread ends on its own at the next entry.
  ~SearchingWindow() override;

  static Outcome Walk(const std::string& dir, OutputSettings& output, QWidget* parent,
                      const ModalRunner& modal = {});

 public slots:
  void reject() override;

 signals:
  void finished();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct Shared;
  // Starts the walk (once); called when the window is shown.
  void Start();
  void Poll();

  std::string dir_;
  std::shared_ptr<Shared> shared_;
  std::vector<std::string> found_;  // in walk order; complete once finished() was emitted
  bool started_ = false;
  bool done_ = false;
  bool cancelled_ = false;
  QLabel* count_label_;
  QProgressBar* busy_;
  QPushButton* cancel_button_;
  QTimer* poll_timer_;
};

}  // namespace quorvel::ui
