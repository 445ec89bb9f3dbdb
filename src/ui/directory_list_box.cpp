#include "ui/directory_list_box.h"

#include <QPainter>
#include <QStyledItemDelegate>

namespace quorvel::ui {
namespace {

const QColor kSelectedFill(0, 0, 100);

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
    const QRect area(option.rect.left() + 2, option.rect.top(), option.rect.width() - 2,
                     option.rect.height());
    const QString text = ElideStart(index.data().toString(), area.width(), [&](const QString& s) {
      return metrics.horizontalAdvance(s);
    });
    painter->drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    painter->restore();
  }

  // Rows are as wide as the list: long paths are shortened, never scrolled.
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return {1, DirectoryListBox::kRowHeight};
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

DirectoryListBox::DirectoryListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setUniformItemSizes(true);
  setItemDelegate(new DirectoryItemDelegate(this));
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
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

}  // namespace quorvel::ui
