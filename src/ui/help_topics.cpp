// Help ids of every window, the topic resource and the event filter that turns right
// clicks, F1 and context-help clicks into pop-up topics.
#include "ui/help_topics.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QToolButton>
#include <QWhatsThis>
#include <QWidget>

#include "ui/drawn_icon_button.h"

// Resources of a static library are registered explicitly; this must sit outside any namespace.
static void InitHelpTopicsResource() { Q_INIT_RESOURCE(help_topics); }

namespace quorvel::ui {
namespace {

constexpr char kThumb[] = "Thumbnail properties";
constexpr char kTable[] = "Table properties";
constexpr char kCell[] = "Cell properties";
constexpr char kText[] = "Text properties";
constexpr char kHtml[] = "HTML Properties";
constexpr char kNav[] = "Navigator properties";
constexpr char kPics[] = "Pictures properties";

}  // namespace

const HelpIdEntry kHelpIds[] = {
    {kMainWindowCaption, "ThumbnailPropertiesBtn", 999},
    {kMainWindowCaption, "TablePropertiesBtn", 999},
    {kMainWindowCaption, "CellPropertiesBtn", 999},
    {kMainWindowCaption, "TextPropertiesBtn", 999},
    {kMainWindowCaption, "HTMLPropertiesBtn", 999},
    {kMainWindowCaption, "NavigatorPropertiesBtn", 999},
    {kMainWindowCaption, "PucturesPropertiesBtn", 999},
    {kMainWindowCaption, "AboutBtn", 999},
    {kMainWindowCaption, "AddDirBtn", 1001},
    {kMainWindowCaption, "RemoveDirBtn", 1002},
    {kMainWindowCaption, "ClearBtn", 1003},
    {kMainWindowCaption, "FilterBtn", 1004},
    {kMainWindowCaption, "GoBtn", 1005},
    {kMainWindowCaption, "LockBtn", 1006},
    {kMainWindowCaption, "DirListBox", 1007},
    {kMainWindowCaption, "ThumbnailRowEdit", 1008},
    {kMainWindowCaption, "ThumbnailColEdit", 1009},
    {kMainWindowCaption, "UpdateHTMLCheckBox", 1010},
    {kMainWindowCaption, "SplitHTMLCheckBox", 1011},
    {kMainWindowCaption, "NewHTMLCheckBox", 1012},
    {kMainWindowCaption, "SeparateHTMLCheckBox", 1013},
    {kMainWindowCaption, "HTMLMaskEdit", 1014},
    {kMainWindowCaption, "HTMLNameEdit", 1015},
    {kMainWindowCaption, "AllThumbnailsDirectoryEdit", 1016},
    {kMainWindowCaption, "ThumbnailDirectoryNameEdit", 1017},
    {kMainWindowCaption, "IntoImageCheckBox", 1019},
    {kMainWindowCaption, "EliminateCheckBox", 1020},
    {kMainWindowCaption, "HTMLDirectoryEdit", 1021},
    {kMainWindowCaption, "HTMLIntoImageCheckBox", 1022},
    {kMainWindowCaption, "SaveBtn", 1023},
    {kMainWindowCaption, "LoadButton", 1024},
    {kThumb, "OKBtn", 999},
    {kThumb, "CompressionSlider", 2001},
    {kThumb, "QualitySpinEdit", 2001},
    {kThumb, "GrayscaleCheckBox", 2002},
    {kThumb, "ThumbnailMaskEdit", 2003},
    {kThumb, "ThumbnailXSizeEdit", 2004},
    {kThumb, "ThumbnailYSizeEdit", 2005},
    {kThumb, "OrientationCheckBox", 2006},
    {kThumb, "ColourProfileCheckBox", 2007},
    {kThumb, "FastModeCheckBox", 2008},
    {kThumb, "WorkersSpinEdit", 2009},
    {kTable, "AligmentComboBox", 3001},
    {kTable, "BorderSizeEdit", 3002},
    {kTable, "CellPaddingEdit", 3003},
    {kTable, "CellSpacingEdit", 3004},
    {kTable, "TableBorderColorComboBox", 4001},
    {kTable, "TableLightBorderColorComboBox", 4002},
    {kTable, "TableDarkBorderColorComboBox", 4003},
    {kTable, "TableBackgroundImageCheckBox", 4004},
    {kTable, "BackgroundImageEdit", 4005},
    {kTable, "TableBackgroundColorComboBox", 4006},
    {kCell, "HorizontalAligmentComboBox", 5001},
    {kCell, "VerticalAligmentComboBox", 5002},
    {kCell, "CellWidthEdit", 5003},
    {kCell, "CellHeightEdit", 5004},
    {kCell, "CellBackgroundImageCheckBox", 5005},
    {kCell, "CellBackgroundImageEdit", 5006},
    {kCell, "CellBackgroundColorComboBox", 5007},
    {kText, "FileNameCheckBox", 6001},
    {kText, "FileNameItalicCheckBox", 6002},
    {kText, "FileNameBoldCheckBox", 6003},
    {kText, "FileNameFontComboBox", 6004},
    {kText, "FileNameSizeComboBox", 6005},
    {kText, "FileNameColorComboBox", 6006},
    {kText, "FileSizeCheckBox", 6007},
    {kText, "FileSizeItalicCheckBox", 6008},
    {kText, "FileSizeBoldCheckBox", 6009},
    {kText, "FileSizeFontComboBox", 6010},
    {kText, "FileSizeSizeComboBox", 6011},
    {kText, "FileSizeColorComboBox", 6012},
#define QUORVEL_PAGE_HELP_IDS(window)                                                           \
  {window, "HTMLTitleEdit", 7001}, {window, "HTMLBackgroundImageCheckBox", 7002},               \
      {window, "HTMLBackgroundImageEdit", 7003}, {window, "HTMLBackgroundColorComboBox", 7004}, \
      {window, "HTMLTextColorComboBox", 7005}, {window, "HTMLHyperlinkColorComboBox", 7006},    \
      {window, "HTMLVisitedHyperlinkColorComboBox", 7007},                                      \
      {window, "HTMLActiveHyperlinkColorComboBox", 7008}, {window, "HTMLTopMemo", 7009}, {      \
    window, "HTMLBottomMemo", 7010                                                              \
  }
    QUORVEL_PAGE_HELP_IDS(kHtml),
    {kNav, "NavigatorCheckBox", 8001},
    {kNav, "NavigatorItalicCheckBox", 8002},
    {kNav, "NavigatorBoldCheckBox", 8003},
    {kNav, "NavigatorFontComboBox", 8004},
    {kNav, "NavigatorSizeComboBox", 8005},
    {kNav, "NavigatorColorComboBox", 8006},
    {kNav, "NavigatorAligmentComboBox", 8007},
    {kPics, "WhereToOpenComboBox", 9001},
    {kPics, "CreateHTMLCheckBox", 9002},
    {kPics, "WebGalleryCheckBox", 9003},
    QUORVEL_PAGE_HELP_IDS(kPics),
#undef QUORVEL_PAGE_HELP_IDS
};
const int kHelpIdCount = static_cast<int>(std::size(kHelpIds));

namespace {

// Buttons, the lock button, spin edits, check boxes, edits and directory edits: the list box,
// "&Save state", "&Load state", "&About" and the question-mark button have no menu.
const char* const kWhatsThisMenuControls[] = {
    "AddDirBtn",
    "RemoveDirBtn",
    "ClearBtn",
    "FilterBtn",
    "GoBtn",
    "LockBtn",
    "ThumbnailRowEdit",
    "ThumbnailColEdit",
    "UpdateHTMLCheckBox",
    "SplitHTMLCheckBox",
    "NewHTMLCheckBox",
    "SeparateHTMLCheckBox",
    "HTMLMaskEdit",
    "HTMLNameEdit",
    "AllThumbnailsDirectoryEdit",
    "ThumbnailDirectoryNameEdit",
    "IntoImageCheckBox",
    "EliminateCheckBox",
    "HTMLDirectoryEdit",
    "HTMLIntoImageCheckBox",
    "ThumbnailPropertiesBtn",
    "TablePropertiesBtn",
    "CellPropertiesBtn",
    "TextPropertiesBtn",
    "HTMLPropertiesBtn",
    "NavigatorPropertiesBtn",
    "PucturesPropertiesBtn",
};

}  // namespace

HelpTopics HelpTopics::Parse(const QString& text) {
  static const QRegularExpression header(QStringLiteral("^\\[(\\d+)\\]\\s*$"));
  HelpTopics result;
  int current = 0;
  QStringList paragraphs;
  QString paragraph;
  const auto finish = [&] {
    if (!paragraph.isEmpty()) paragraphs << paragraph;
    paragraph.clear();
    if (current != 0) result.topics_.insert(current, paragraphs.join(QStringLiteral("\n\n")));
    paragraphs.clear();
  };
  for (const QString& raw : text.split(QLatin1Char('\n'))) {
    const QString line = raw.trimmed();
    if (line.startsWith(QLatin1Char('#'))) continue;
    const QRegularExpressionMatch match = header.match(line);
    if (match.hasMatch()) {
      finish();
      current = match.captured(1).toInt();
    } else if (line.isEmpty()) {
      if (!paragraph.isEmpty()) paragraphs << paragraph;
      paragraph.clear();
    } else {
      paragraph += paragraph.isEmpty() ? line : QLatin1Char(' ') + line;
    }
  }
  finish();
  return result;
}

HelpTopics HelpTopics::FromResource() {
  InitHelpTopicsResource();
  QFile file(QStringLiteral(":/quorvel/help_topics.txt"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return Parse(QString::fromUtf8(file.readAll()));
}

int AssignHelpIds(QWidget* root, const char* window) {
  int assigned = 0;
  for (const HelpIdEntry& entry : kHelpIds) {
    if (qstrcmp(entry.window, window) != 0) continue;
    const QString name = QString::fromLatin1(entry.control);
    QList<QWidget*> found = root->findChildren<QWidget*>(name);
    if (root->objectName() == name) found << root;
    for (QWidget* widget : found) {
      widget->setProperty(kHelpIdProperty, entry.id);
      ++assigned;
    }
  }
  return assigned;
}

namespace {

// The nearest widget (itself or a parent) that carries a help id, or nullptr.
QWidget* HelpCarrier(QWidget* widget) {
  for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    if (w->property(kHelpIdProperty).toInt() > 0) return w;
    if (w->isWindow()) break;
  }
  return nullptr;
}

// The help id of `widget` or of its nearest parent carrying one; 0 when none has.
int FindHelpId(const QWidget* widget) {
  const QWidget* carrier = HelpCarrier(const_cast<QWidget*>(widget));
  return carrier ? carrier->property(kHelpIdProperty).toInt() : 0;
}

// Shows the topic `id` as a pop-up at the top-left corner of `at`.
void ShowHelpTopic(const HelpTopics& topics, int id, QWidget* at) {
  if (!topics.Contains(id) || at == nullptr) return;
  QWhatsThis::showText(at->mapToGlobal(QPoint(0, 0)), topics.Text(id), at);
}

}  // namespace

QToolButton* WhatsThisButton(const QString& name, QWidget* parent) {
  // A question mark on a disc in the palette's selection colours.
  const auto draw = [](const QPalette& palette) {
    QPixmap pixmap(40, 40);  // drawn at twice the size, sharp on a screen scaled to 200 %
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(palette.color(QPalette::Highlight));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(1, 1, 18, 18));
    p.setPen(palette.color(QPalette::HighlightedText));
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(14);
    p.setFont(font);
    p.drawText(QRectF(1, 1, 18, 18), Qt::AlignCenter, QStringLiteral("?"));
    p.end();
    return QIcon(pixmap);
  };
  auto* button = new DrawnIconButton(draw, parent);
  button->setObjectName(name);
  button->setAccessibleName(QObject::tr("What's this?"));
  button->setToolTip(QObject::tr("What's this? Click here, then on a control"));
  QObject::connect(button, &QToolButton::clicked, [] { ContextHelp::EnterContextHelpMode(); });
  return button;
}

ContextHelp::ContextHelp(HelpTopics topics, QObject* parent)
    : QObject(parent), topics_(std::move(topics)) {
  menu_runner_ = [](QWidget* control, const QPoint& globalPos) {
    QMenu menu(control);
    QAction* whatsThis = menu.addAction(tr("What's this?"));
    return menu.exec(globalPos) == whatsThis;
  };
  topic_shower_ = [this](int id, const QString&, QWidget* at) { ShowHelpTopic(topics_, id, at); };
}

void ContextHelp::InstallFilter() {
  // Help events of a control go to the control itself, so one filter on the application sees
  // them all; it acts only for the windows attached here.
  if (filter_installed_ || qApp == nullptr) return;
  qApp->installEventFilter(this);
  filter_installed_ = true;
}

void ContextHelp::DescribeControls(QWidget* window) {
  for (QWidget* control : window->findChildren<QWidget*>()) {
    const int id = control->property(kHelpIdProperty).toInt();
    if (id > 0 && topics_.Contains(id)) control->setAccessibleDescription(topics_.Text(id));
  }
}

void ContextHelp::AttachMainWindow(QWidget* window) {
  main_windows_ << window;
  DescribeControls(window);
  InstallFilter();
}

void ContextHelp::AttachDialog(QWidget* dialog) {
  dialogs_ << dialog;
  DescribeControls(dialog);
  InstallFilter();
}

void ContextHelp::EnterContextHelpMode() { QWhatsThis::enterWhatsThisMode(); }

ContextHelp::Kind ContextHelp::KindOf(const QWidget* widget) const {
  const QWidget* window = widget->window();
  for (const QPointer<QWidget>& w : main_windows_) {
    if (w == window) return Kind::Main;
  }
  for (const QPointer<QWidget>& w : dialogs_) {
    if (w == window) return Kind::Dialog;
  }
  return Kind::None;
}

bool ContextHelp::ShowHelpFor(QWidget* widget) {
  QWidget* carrier = HelpCarrier(widget);
  if (carrier == nullptr) return false;
  const int id = carrier->property(kHelpIdProperty).toInt();
  topic_shower_(id, topics_.Text(id), carrier);
  return true;
}

bool ContextHelp::HandleContextMenu(QWidget* widget, QEvent* event) {
  const auto* menuEvent = static_cast<QContextMenuEvent*>(event);
  if (menuEvent->reason() != QContextMenuEvent::Mouse) return false;
  // The control is the widget itself or the named control it is part of (the line edit
  // inside a spin box, say).
  QWidget* control = nullptr;
  for (QWidget* w = widget; w != nullptr && control == nullptr; w = w->parentWidget()) {
    for (const char* name : kWhatsThisMenuControls) {
      if (w->objectName() == QLatin1String(name)) control = w;
    }
    if (w->isWindow()) break;
  }
  if (control == nullptr) return false;
  chosen_help_id_ = FindHelpId(control);
  if (menu_runner_(control, menuEvent->globalPos()) && chosen_help_id_ > 0) {
    topic_shower_(chosen_help_id_, topics_.Text(chosen_help_id_), control);
  }
  return true;
}

bool ContextHelp::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::ContextMenu && type != QEvent::KeyPress && type != QEvent::WhatsThis &&
      type != QEvent::QueryWhatsThis) {
    return false;
  }
  if (!watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  const Kind kind = KindOf(widget);
  if (kind == Kind::None) return false;
  switch (type) {
    case QEvent::ContextMenu:
      return kind == Kind::Main && HandleContextMenu(widget, event);
    case QEvent::KeyPress: {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() != Qt::Key_F1) return false;
      if (key->modifiers() == Qt::ShiftModifier) {
        EnterContextHelpMode();
        return true;
      }
      if (key->modifiers() != Qt::NoModifier) return false;
      QWidget* focus = QApplication::focusWidget();
      return ShowHelpFor(focus != nullptr && focus->window() == widget->window() ? focus : widget);
    }
    case QEvent::QueryWhatsThis:
      if (HelpCarrier(widget) == nullptr) return false;
      event->accept();
      return true;
    case QEvent::WhatsThis:
      if (!ShowHelpFor(widget)) return false;
      event->accept();
      return true;
    default:
      return false;
  }
}

}  // namespace quorvel::ui
