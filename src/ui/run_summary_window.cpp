#include "ui/run_summary_window.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <set>

#include "job/image_formats.h"
#include "job/path_style.h"
#include "run/skipped_photos.h"
#include "ui/pictures_properties_dialog.h"
#include "ui/window_placement.h"

namespace quorvel::ui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// One row per path and message, each with its whole text as the tooltip; hidden when empty.
template <typename Item>
void FillPathList(QTreeWidget* list, const QString& name, const QStringList& headers,
                  const std::vector<Item>& items) {
  list->setObjectName(name);
  list->setHeaderLabels(headers);
  list->setRootIsDecorated(false);
  for (const Item& item : items) {
    auto* row = new QTreeWidgetItem(list, {Q(item.path), Q(item.message)});
    row->setToolTip(0, Q(item.path));
    row->setToolTip(1, Q(item.message));
  }
  list->resizeColumnToContents(0);
  list->setVisible(!items.empty());
}

}  // namespace

QString SummaryHeadline(const RunSummary& summary) {
  if (!summary.page_error.empty()) {
    return QStringLiteral("The run ended early: ") + Q(summary.page_error);
  }
  if (summary.stopped)
    return QStringLiteral("The run was stopped; the images after it were skipped.");
  if (summary.images_failed > 0)
    return QStringLiteral("The gallery is made, but some images failed.");
  return QStringLiteral("The gallery is made.");
}

QString SummaryFigures(const RunSummary& summary, const std::vector<std::string>& pages) {
  QStringList lines;
  lines << QStringLiteral("Images done: %1").arg(summary.images_done);
  lines << QStringLiteral("Images failed: %1").arg(summary.images_failed);
  if (!summary.warnings.empty())
    lines << QStringLiteral("Warnings: %1").arg(summary.warnings.size());
  if (!summary.skipped.empty()) {
    lines << Q(SkippedPhotosLine(summary.skipped)) +
                 QStringLiteral("; %1 includes them").arg(kWebGalleryOption);
  }
  std::set<std::string> directories;
  for (const std::string& page : pages) directories.insert(DirectoryPart(page, kNativePathStyle));
  QString written = QStringLiteral("Pages written: %1").arg(summary.pages_written);
  if (directories.size() == 1) {
    written += QStringLiteral(" in ") + Q(*directories.begin());
  } else if (directories.size() > 1) {
    written += QStringLiteral(" in %1 directories").arg(directories.size());
  }
  if (summary.pages_unchanged > 0) {
    written += QStringLiteral(" (%1 already up to date)").arg(summary.pages_unchanged);
  }
  lines << written;
  if (!pages.empty()) lines << QStringLiteral("First index page: ") + Q(pages.front());
  return lines.join(QLatin1Char('\n'));
}

RunSummaryWindow::RunSummaryWindow(const RunSummary& summary, std::vector<std::string> pages,
                                   QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      pages_(std::move(pages)),
      headline_(new QLabel(SummaryHeadline(summary), this)),
      figures_(new QLabel(SummaryFigures(summary, pages_), this)),
      failures_(new QTreeWidget(this)),
      warnings_(new QTreeWidget(this)),
      skipped_(new QTreeWidget(this)),
      open_(new QPushButton(tr("&Open Gallery"), this)),
      close_(new QPushButton(tr("&Close"), this)) {
  setObjectName(QStringLiteral("RunSummaryForm"));
  setWindowTitle(QStringLiteral("Run summary"));
  setModal(true);
  opener_ = [](const QUrl& url) { QDesktopServices::openUrl(url); };
  headline_->setObjectName(QStringLiteral("HeadlineLabel"));
  QFont bold = headline_->font();
  bold.setBold(true);
  headline_->setFont(bold);
  headline_->setWordWrap(true);
  figures_->setObjectName(QStringLiteral("FiguresLabel"));
  figures_->setWordWrap(true);  // the skipped photos' hint is wider than the window
  figures_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  FillPathList(failures_, QStringLiteral("FailureList"), {tr("Failed image"), tr("Cause")},
               summary.failures);
  failures_->setAccessibleName(tr("Failed images"));
  FillPathList(warnings_, QStringLiteral("WarningList"), {tr("Image"), tr("Warning")},
               summary.warnings);
  warnings_->setAccessibleName(tr("Warnings"));
  std::vector<ImageWarning> skipped;
  for (const std::string& path : summary.skipped) {
    skipped.push_back({path, std::string(FormatLabel(FormatOfName(path))) + " is not JPEG"});
  }
  FillPathList(skipped_, QStringLiteral("SkippedList"), {tr("Skipped photo"), tr("Why")}, skipped);
  skipped_->setAccessibleName(tr("Skipped photos"));
  open_->setObjectName(QStringLiteral("OpenBtn"));
  open_->setEnabled(!pages_.empty());
  open_->setAutoDefault(false);
  close_->setObjectName(QStringLiteral("CloseBtn"));
  close_->setDefault(true);
  close_->setFocus();
  connect(open_, &QPushButton::clicked, this,
          [this] { opener_(QUrl::fromLocalFile(Q(pages_.front()))); });
  connect(close_, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(headline_);
  layout->addWidget(figures_);
  layout->addWidget(failures_, 1);
  layout->addWidget(warnings_, 1);
  layout->addWidget(skipped_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(open_);
  buttons->addWidget(close_);
  layout->addLayout(buttons);
  setMinimumWidth(420);
  if (!summary.failures.empty() || !summary.warnings.empty() || !summary.skipped.empty()) {
    resize(640, 360);
  }
}

void RunSummaryWindow::showEvent(QShowEvent* event) {
  CentreOnScreen(this);
  QDialog::showEvent(event);
}

}  // namespace quorvel::ui
