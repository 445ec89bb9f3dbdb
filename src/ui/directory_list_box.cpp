#include "ui/directory_list_box.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QHelpEvent>
#include <QMimeData>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace quorvel::ui {
namespace {

const QColor kSelectedFill(0, 0, 100);
constexpr int kRowHeight = 13;

// The row's text area: 2 pixels in from the left edge.
QRect TextArea(const QRect& row) {
  return QRect(row.left() + 2, row.top(), row.width() - 2, row.height());
}

QStringList LocalPaths(const QMimeData* data) {
  QStringList paths;
  if (data == nullptr) return paths;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) paths << url.toLocalFile();
  }
  return paths;
}

class DirectoryItemDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->fillRect(option.rect, selected ? kSelectedFill : QColor(Qt::white));
    painter->setPen(selected ? Qt::white : Qt::black);
    painter->setFont(option.font);
    const QFontMetrics metrics(option.font);
    const QRect area = TextArea(option.rect);
    const QString text = ElideStart(index.data().toString(), area.width(),
                                    [&](const QString& s) { return metrics.horizontalAdvance(s); });
    painter->drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    painter->restore();
  }

  // Rows are as wide as the list: long paths are shortened, never scrolled.
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return {1, kRowHeight};
  }

  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem&,
                 const QModelIndex& index) override {
    if (event->type() != QEvent::ToolTip) return false;
    const QString tip = static_cast<DirectoryListBox*>(view)->ToolTipFor(index.row());
    if (tip.isEmpty()) {
      QToolTip::hideText();
    } else {
      QToolTip::showText(event->globalPos(), tip, view);
    }
    return true;
  }
};

}  // namespace

QString ElideStart(const QString& path, int width,
                   const std::function<int(const QString&)>& measure) {
  if (measure(path) <= width) return path;
  const int limit = width - measure("W");
  QString rest = path;
  while (!rest.isEmpty() && measure("..." + rest) > limit) rest.remove(0, 1);
  return "..." + rest;
}

std::optional<std::string> DirectoryOfGivenPath(const QString& path) {
  const QFileInfo info(path);
  if (info.isDir()) return QDir::cleanPath(info.absoluteFilePath()).toStdString();
  if (info.exists()) return QDir::cleanPath(info.absolutePath()).toStdString();
  return std::nullopt;
}

DirectoryListBox::DirectoryListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setUniformItemSizes(true);
  setItemDelegate(new DirectoryItemDelegate(this));
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DropOnly);
  QFont small = font();
  if (QFontMetrics(small).height() > kRowHeight) {
    small.setPixelSize(kRowHeight - 2);
    setFont(small);
  }
}

void DirectoryListBox::ShowDirectories(const std::vector<std::string>& directories) {
  clear();
  for (const std::string& d : directories) addItem(QString::fromStdString(d));
}

std::vector<bool> DirectoryListBox::SelectedFlags() const {
  std::vector<bool> flags(static_cast<std::size_t>(count()), false);
  for (int i = 0; i < count(); ++i) flags[static_cast<std::size_t>(i)] = item(i)->isSelected();
  return flags;
}

QString DirectoryListBox::ToolTipFor(int row) const {
  if (row < 0 || row >= count()) return {};
  const QString path = item(row)->text();
  const int width = TextArea(visualItemRect(item(row))).width();
  return fontMetrics().horizontalAdvance(path) > width ? path : QString();
}

// Only local files and folders are taken; anything else is refused while it is dragged.
void DirectoryListBox::dragEnterEvent(QDragEnterEvent* event) {
  event->setAccepted(!LocalPaths(event->mimeData()).isEmpty());
}

void DirectoryListBox::dragMoveEvent(QDragMoveEvent* event) {
  event->setAccepted(!LocalPaths(event->mimeData()).isEmpty());
}

void DirectoryListBox::dropEvent(QDropEvent* event) {
  const QStringList paths = LocalPaths(event->mimeData());
  event->setAccepted(!paths.isEmpty());
  if (!paths.isEmpty()) emit pathsDropped(paths);
}

}  // namespace quorvel::ui
