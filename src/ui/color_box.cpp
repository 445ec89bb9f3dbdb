#include "ui/color_box.h"

#include <QPainter>
#include <QSignalBlocker>
#include <QStylePainter>
#include <QStyledItemDelegate>

namespace quorvel::ui {
namespace {

constexpr int kInset = 2;
constexpr int kSwatchWidth = 22;
constexpr int kTextLeft = 28;

class ColorEntryDelegate : public QStyledItemDelegate {
 public:
  explicit ColorEntryDelegate(ColorBox* box) : QStyledItemDelegate(box), box_(box) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool selected = option.state & QStyle::State_Selected;
    DrawColorEntry(*painter, option.rect, box_->Look(index.row(), selected));
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return QSize(option.rect.width(), box_->fontMetrics().height() + 2 * kInset + 2);
  }

 private:
  ColorBox* box_;
};

}  // namespace

QColor ToQColor(ColorValue value) {
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

void DrawColorEntry(QPainter& painter, const QRect& item, const ColorEntryLook& look) {
  painter.save();
  painter.fillRect(item, look.background);
  const QRect swatch(QPoint(item.left() + kInset, item.top() + kInset),
                     QPoint(item.left() + kInset + kSwatchWidth - 1, item.bottom() - kInset));
  painter.setPen(Qt::NoPen);
  painter.fillRect(swatch, look.outline);
  const QRect inside = swatch.adjusted(1, 1, -1, -1);
  if (look.crossed) {
    painter.fillRect(inside, look.background);
    painter.setPen(look.outline);
    painter.drawLine(inside.topLeft(), inside.bottomRight());
    painter.drawLine(inside.bottomLeft(), inside.topRight());
  } else {
    painter.fillRect(inside, look.color);
  }
  painter.setPen(look.text_color);
  const QRect text(QPoint(item.left() + kTextLeft, item.top()), item.bottomRight());
  painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, look.text);
  painter.restore();
}

ColorBox::ColorBox(html::SharedCustomColor& custom, const Choosers& choosers, QWidget* parent)
    : QComboBox(parent), model_(custom), choosers_(choosers) {
  setEditable(false);
  setItemDelegate(new ColorEntryDelegate(this));
  RebuildEntries();
  model_.on_change = [this] {
    ShowSelection();
    emit valueChanged();
  };
  connect(this, &QComboBox::activated, this, &ColorBox::OnActivated);
}

void ColorBox::SetValue(ColorValue value) { model_.Assign(value); }

ColorEntryLook ColorBox::Look(int entry, bool selected) const {
  const QPalette& p = palette();
  ColorEntryLook look;
  look.background = selected ? p.color(QPalette::Highlight) : p.color(QPalette::Base);
  look.outline = p.color(QPalette::WindowText);
  look.color = ToQColor(model_.EntryColor(entry));
  look.text_color = selected ? p.color(QPalette::HighlightedText) : p.color(QPalette::Text);
  look.text = QString::fromStdString(model_.EntryText(entry));
  look.crossed = entry == html::ColorBoxModel::kDefaultEntry;
  return look;
}

void ColorBox::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionComboBox option;
  initStyleOption(&option);
  option.currentText.clear();
  option.currentIcon = QIcon();
  painter.drawComplexControl(QStyle::CC_ComboBox, option);
  const QRect field =
      style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
  ColorEntryLook look = Look(currentIndex(), false);
  look.background =
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Button);
  if (!isEnabled()) look.text_color = palette().color(QPalette::Disabled, QPalette::ButtonText);
  DrawColorEntry(painter, field, look);
}

// Room for the swatch in front of the widest name.
QSize ColorBox::sizeHint() const { return QComboBox::sizeHint() + QSize(kTextLeft, 0); }

QSize ColorBox::minimumSizeHint() const { return sizeHint(); }

void ColorBox::OnActivated(int entry) {
  if (entry == html::ColorBoxModel::kCustomEntry) {
    const std::optional<ColorValue> picked =
        choosers_.color ? choosers_.color(this, model_.EntryColor(entry)) : std::nullopt;
    if (picked) model_.PickCustom(*picked);
  } else {
    model_.PickEntry(entry);
  }
  ShowSelection();
  emit picked();
}

void ColorBox::RebuildEntries() {
  const QSignalBlocker blocker(this);
  clear();
  for (int entry = 0; entry < html::ColorBoxModel::kEntryCount; ++entry) {
    addItem(QString::fromStdString(model_.EntryText(entry)));
  }
  ShowSelection();
}

void ColorBox::ShowSelection() {
  const QSignalBlocker blocker(this);
  setCurrentIndex(model_.SelectedEntry());
  update();
}

}  // namespace quorvel::ui
