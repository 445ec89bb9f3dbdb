// Context help: the help id of every control, the pop-up topic texts (the Qt resource
// ":/quorvel/help_topics.txt") and the ways of asking for a topic.
//
// API for the windows:
//   - AssignHelpIds(window, "Quorvelandiscope") sets the dynamic property "helpId" on the
//     window's children named in kHelpIds (by objectName); a window may also set it itself.
//     A control without an id asks for the topic of its nearest parent that has one.
//   - ContextHelp help(HelpTopics::FromResource(), mainWindow);
//     help.AttachMainWindow(mainWindow): right-click "What's this?" on the buttons, edits and
//       check boxes that offer it, F1 (topic of the focused control) and Shift+F1 (context-help
//       mode); connect the question-mark button to ContextHelp::EnterContextHelpMode.
//     help.AttachDialog(dialog): F1, Shift+F1, the title-bar help button's click-to-ask
//       mode (Qt::WindowContextHelpButtonHint) and WhatsThisButton, topics shown at the
//       clicked control. AssignHelpIds(dialog, dialog caption) gives its controls their ids.
//     Both give every control with an id its topic as its accessible description, which
//     screen readers say after its name.
//   - The menu and the pop-up are injectable (SetMenuRunner, SetTopicShower) for tests.
#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QToolButton;
class QWidget;

namespace quorvel::ui {

struct HelpIdEntry {
  const char* window;   // the window's caption
  const char* control;  // the control's objectName
  int id;
};

// Every control with help, window by window (the Pictures dialog repeats the page controls).
extern const HelpIdEntry kHelpIds[];
extern const int kHelpIdCount;

inline constexpr char kHelpIdProperty[] = "helpId";
inline constexpr char kMainWindowCaption[] = "Quorvelandiscope";

// Id -> pop-up text.
class HelpTopics {
 public:
  // "[id]" lines open topics; "#" lines are comments; a topic's lines are joined, a blank
  // line becoming a paragraph break.
  static HelpTopics Parse(const QString& text);
  static HelpTopics FromResource();

  bool Contains(int id) const { return topics_.contains(id); }
  QString Text(int id) const { return topics_.value(id); }

 private:
  QHash<int, QString> topics_;
};

// Sets "helpId" on the descendants of `root` named in kHelpIds for `window`; returns how many.
int AssignHelpIds(QWidget* root, const char* window);

// The question-mark button that enters context-help mode: the main window's quick-help button
// and the one beside each dialog's "&OK", for desktops whose title bars carry no help button.
QToolButton* WhatsThisButton(const QString& name, QWidget* parent);

class ContextHelp : public QObject {
  Q_OBJECT
 public:
  // Returns true when "What's this?" was chosen in the menu shown for `control`.
  using MenuRunner = std::function<bool(QWidget* control, const QPoint& globalPos)>;
  using TopicShower = std::function<void(int id, const QString& text, QWidget* at)>;

  ContextHelp(HelpTopics topics, QObject* parent = nullptr);

  void AttachMainWindow(QWidget* window);
  void AttachDialog(QWidget* dialog);
  void SetMenuRunner(MenuRunner runner) { menu_runner_ = std::move(runner); }
  void SetTopicShower(TopicShower shower) { topic_shower_ = std::move(shower); }

  static void EnterContextHelpMode();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class Kind { None, Main, Dialog };
  Kind KindOf(const QWidget* widget) const;
  // Shows the topic of `widget` (or of its nearest parent with an id); false when none.
  bool ShowHelpFor(QWidget* widget);
  bool HandleContextMenu(QWidget* widget, QEvent* event);
  void InstallFilter();
  void DescribeControls(QWidget* window);

  HelpTopics topics_;
  MenuRunner menu_runner_;
  TopicShower topic_shower_;
  QList<QPointer<QWidget>> main_windows_;
  QList<QPointer<QWidget>> dialogs_;
  int chosen_help_id_ = 0;  // recorded by the last right click on a menu control
  bool filter_installed_ = false;
};

}  // namespace quorvel::ui
