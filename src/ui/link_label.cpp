#include "ui/link_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace quorvel::ui {
namespace {

// What a screen reader sees of a LinkLabel: a link named by its text, pressed to open it.
class LinkLabelAccessible : public QAccessibleWidget {
 public:
  explicit LinkLabelAccessible(LinkLabel* link) : QAccessibleWidget(link, QAccessible::Link) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return static_cast<const QLabel*>(widget())->text();
    return QAccessibleWidget::text(t);
  }
  QStringList actionNames() const override {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action == pressAction()) {
      static_cast<LinkLabel*>(widget())->Open();
    } else {
      QAccessibleWidget::doAction(action);
    }
  }
};

QAccessibleInterface* LinkLabelInterface(const QString& key, QObject* object) {
  if (key != QLatin1String(LinkLabel::staticMetaObject.className())) return nullptr;
  auto* link = qobject_cast<LinkLabel*>(object);
  return link != nullptr ? new LinkLabelAccessible(link) : nullptr;
}

}  // namespace

LinkLabel::LinkLabel(const QString& text, QUrl address, QWidget* parent)
    : QLabel(text, parent), address_(std::move(address)) {
  // Qt asks the factories in turn for every object's interface; this one answers for links.
  static const bool registered = [] {
    QAccessible::installFactory(&LinkLabelInterface);
    return true;
  }();
  static_cast<void>(registered);
  QFont arial(QStringLiteral("Arial"), 10);
  arial.setStyleHint(QFont::SansSerif);
  arial.setBold(true);
  setFont(arial);
  setCursor(Qt::PointingHandCursor);
  setAttribute(Qt::WA_TranslucentBackground);
  setFocusPolicy(Qt::StrongFocus);
  opener_ = [](const QUrl& url) { QDesktopServices::openUrl(url); };
  SetHighlighted(false);
}

void LinkLabel::Open() { opener_(address_); }

void LinkLabel::SetHighlighted(bool on) { setForegroundRole(on ? QPalette::Link : QPalette::Text); }

void LinkLabel::enterEvent(QEnterEvent* event) {
  SetHighlighted(true);
  QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event) {
  SetHighlighted(false);
  QLabel::leaveEvent(event);
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    Open();
    event->accept();
    return;
  }
  QLabel::mousePressEvent(event);
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (event->modifiers() == Qt::NoModifier &&
      (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
    Open();
    event->accept();
    return;
  }
  QLabel::keyPressEvent(event);
}

void LinkLabel::focusInEvent(QFocusEvent* event) {
  QLabel::focusInEvent(event);
  update();
}

void LinkLabel::focusOutEvent(QFocusEvent* event) {
  QLabel::focusOutEvent(event);
  update();
}

void LinkLabel::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  if (!hasFocus()) return;
  // The style decides how (and whether, after a mouse click) keyboard focus is shown.
  QStylePainter painter(this);
  QStyleOptionFocusRect option;
  option.initFrom(this);
  option.backgroundColor = palette().color(backgroundRole());
  painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

}  // namespace quorvel::ui
