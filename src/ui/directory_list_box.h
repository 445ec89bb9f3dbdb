// The main window's list of image directories: sorted, multi-select, rows of 13 pixels (or of
// the font's height, when the window's font is larger) in the palette's colours, long paths
// shown as "..." and their tail with the whole path as a tool tip, keyboard focus shown as the
// style shows it (around the current row, or around the list while it has none), and folders
// dropped from a file manager handed on to be added.
#pragma once

#include <QListWidget>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::ui {

// `path` whole when measure(path) <= width; otherwise characters are taken from its start
// until "..." and the rest is no wider than width - measure("W").
QString ElideStart(const QString& path, int width,
                   const std::function<int(const QString&)>& measure);

// The directory a path dropped or given on the command line stands for: a directory itself,
// a file its directory (absolute, without a trailing separator); nullopt when neither exists.
std::optional<std::string> DirectoryOfGivenPath(const QString& path);

class DirectoryListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit DirectoryListBox(QWidget* parent = nullptr);

  // Replaces the entries; the list keeps the order it is given (the core keeps it sorted).
  void ShowDirectories(const std::vector<std::string>& directories);
  // One flag per entry, in list order.
  std::vector<bool> SelectedFlags() const;
  // The whole path of entry `row` when the list shows it cut, else empty.
  QString ToolTipFor(int row) const;

 signals:
  // Local files and folders dropped onto the list.
  void pathsDropped(const QStringList& paths);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

}  // namespace quorvel::ui
