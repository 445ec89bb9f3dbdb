// The main window's list of image directories: sorted, multi-select, 13-pixel rows, drawn
// white on dark blue when selected, and long paths shown as "..." and their tail.
#pragma once

#include <QListWidget>
#include <QString>
#include <functional>
#include <string>
#include <vector>

namespace quorvel::ui {

// `path` whole when measure(path) <= width; otherwise characters are taken from its start
// until "..." and the rest is no wider than width - measure("W").
QString ElideStart(const QString& path, int width,
                   const std::function<int(const QString&)>& measure);

class DirectoryListBox : public QListWidget {
  Q_OBJECT
 public:
  static constexpr int kRowHeight = 13;

  explicit DirectoryListBox(QWidget* parent = nullptr);

  // Replaces the entries; the list keeps the order it is given (the core keeps it sorted).
  void ShowDirectories(const std::vector<std::string>& directories);
  // One flag per entry, in list order.
  std::vector<bool> SelectedFlags() const;
};

}  // namespace quorvel::ui
