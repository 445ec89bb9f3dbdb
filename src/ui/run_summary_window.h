// The window shown after every run: what the run did, built from the core's run summary alone
// (images done, each failed image with its cause, each warning of an image done, the pages
// written and where, whether it was stopped), with "&Open Gallery" opening the first index page
// in the default browser.
#pragma once

#include <QDialog>
#include <QUrl>
#include <functional>
#include <string>
#include <vector>

#include "run/generation_run.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace quorvel::ui {

// The first line of the summary: how the run ended.
QString SummaryHeadline(const RunSummary& summary);
// The figures, one per line: images done and failed, warnings when there are any, pages written
// and where.
QString SummaryFigures(const RunSummary& summary, const std::vector<std::string>& pages);

class RunSummaryWindow : public QDialog {
  Q_OBJECT
 public:
  using Opener = std::function<void(const QUrl&)>;

  // `pages` are the run's index pages in the order written.
  RunSummaryWindow(const RunSummary& summary, std::vector<std::string> pages,
                   QWidget* parent = nullptr);

  void SetOpener(Opener opener) { opener_ = std::move(opener); }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  std::vector<std::string> pages_;
  Opener opener_;
  QLabel* headline_;
  QLabel* figures_;
  QTreeWidget* failures_;  // one row per failed image: its path and the cause
  QTreeWidget* warnings_;  // one row per warning: the image's path and what its decode said
  QTreeWidget* skipped_;   // one row per photo left out for its format
  QPushButton* open_;
  QPushButton* close_;
};

}  // namespace quorvel::ui
