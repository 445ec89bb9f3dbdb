#include "ui/directory_list_box.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QHelpEvent>
#include <QMimeData>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace quorvel::ui {
namespace {

// The rows' least height; a larger font makes them as high as its lines.
constexpr int kRowHeight = 13;

// The row's text area: 2 pixels in from the left edge.
QRect TextArea(const QRect& row) {
  return QRect(row.left() + 2, row.top(), row.width() - 2, row.height());
}

QPalette::ColorGroup ColorGroup(QStyle::State state) {
  if (!(state & QStyle::State_Enabled)) return QPalette::Disabled;
  return state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
}

// The style of `list` draws its focus frame around `rect`, over `background`.
void DrawFocus(QPainter* painter, const QStyleOption& from, const QRect& rect,
               const QColor& background, const QWidget* list) {
  QStyleOptionFocusRect focus;
  focus.QStyleOption::operator=(from);
  focus.rect = rect;
  focus.backgroundColor = background;
  list->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, list);
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
    const QPalette::ColorGroup group = ColorGroup(option.state);
    const QColor fill =
        option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
    painter->save();
    painter->fillRect(option.rect, fill);
    painter->setPen(
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    const QFontMetrics metrics(option.font);
    const QRect area = TextArea(option.rect);
    const QString text = ElideStart(index.data().toString(), area.width(),
                                    [&](const QString& s) { return metrics.horizontalAdvance(s); });
    painter->drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    painter->restore();
    if (option.state & QStyle::State_HasFocus) {
      DrawFocus(painter, option, option.rect, fill, option.widget);
    }
  }

  // Rows are as wide as the list: long paths are shortened, never scrolled.
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return {1, std::max(kRowHeight, option.fontMetrics.height())};
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
}

void DirectoryListBox::paintEvent(QPaintEvent* event) {
  QListWidget::paintEvent(event);
  // The rows show the focus on the current one; without one (an empty list, say) the list
  // shows it around its inside.
  if (!hasFocus() || currentIndex().isValid()) return;
  QPainter painter(viewport());
  QStyleOption option;
  option.initFrom(this);
  DrawFocus(&painter, option, viewport()->rect(), palette().color(QPalette::Base), this);
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
