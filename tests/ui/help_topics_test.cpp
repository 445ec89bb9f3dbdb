// Context help: every help id has its topic in the resource, and the right-click menu, F1
// and context-help clicks reach the right topic on a small widget tree named like the
// program's windows.
#include "ui/help_topics.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

using quorvel::ui::ContextHelp;
using quorvel::ui::FindHelpId;
using quorvel::ui::HelpTopics;
using quorvel::ui::kHelpIdCount;
using quorvel::ui::kHelpIds;
using quorvel::ui::kWhatsThisMenuControlCount;
using quorvel::ui::kWhatsThisMenuControls;

namespace {

void RightClick(QWidget* widget) {
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                          widget->mapToGlobal(QPoint(2, 2)));
  QApplication::sendEvent(widget, &event);
}

// Records what the help controller would show.
struct Recorder {
  QList<QWidget*> menus;
  QList<int> topics;
  QList<QWidget*> places;
  void Wire(ContextHelp& help) {
    help.SetMenuRunner([this](QWidget* control, const QPoint&) {
      menus << control;
      return true;  // "What's this?" chosen
    });
    help.SetTopicShower([this](int id, const QString& text, QWidget* at) {
      QVERIFY(!text.isEmpty());
      topics << id;
      places << at;
    });
  }
};

}  // namespace

class HelpTopicsTest : public QObject {
  Q_OBJECT

 private slots:
  void everyIdHasATopicAndNoTopicIsStray() {
    const HelpTopics topics = HelpTopics::FromResource();
    QSet<int> ids;
    for (int i = 0; i < kHelpIdCount; ++i) {
      ids << kHelpIds[i].id;
      QVERIFY2(topics.Contains(kHelpIds[i].id), kHelpIds[i].control);
      QVERIFY(topics.Text(kHelpIds[i].id).size() > 20);
    }
    for (int id : topics.Ids()) QVERIFY2(ids.contains(id), qPrintable(QString::number(id)));
    QVERIFY(!ids.contains(1018));
    QCOMPARE(ids.size(), 77);  // 999 is shared, 1018 unused
  }

  void parseJoinsLinesAndSkipsComments() {
    const HelpTopics topics = HelpTopics::Parse(
        "# comment\n[5]\nfirst\nline\n\nsecond\n[6]\n# inside\n  text  \n[x]\nnot a header\n");
    QCOMPARE(topics.Text(5), QString("first line\n\nsecond"));
    QCOMPARE(topics.Text(6), QString("text [x] not a header"));
    QCOMPARE(topics.Ids().size(), 2);
  }

  void menuControlsAreTheMarkedOnes() {
    QSet<QString> menu;
    for (int i = 0; i < kWhatsThisMenuControlCount; ++i) menu << kWhatsThisMenuControls[i];
    for (const char* none : {"SaveBtn", "LoadButton", "DirListBox", "AboutBtn"}) {
      QVERIFY2(!menu.contains(none), none);
    }
    QCOMPARE(menu.size(), 27);
  }

  void rightClickWhatsThis() {
    QWidget window;
    window.setWindowTitle(quorvel::ui::kMainWindowCaption);
    auto* layout = new QVBoxLayout(&window);
    auto* go = new QPushButton("&GO!");
    go->setObjectName("GoBtn");
    auto* save = new QPushButton("&Save state");
    save->setObjectName("SaveBtn");
    auto* lock = new QToolButton;
    lock->setObjectName("LockBtn");
    lock->setCheckable(true);
    auto* rows = new QSpinBox;
    rows->setObjectName("ThumbnailRowEdit");
    for (QWidget* w : {static_cast<QWidget*>(go), static_cast<QWidget*>(save),
                       static_cast<QWidget*>(lock), static_cast<QWidget*>(rows)}) {
      layout->addWidget(w);
    }
    QCOMPARE(quorvel::ui::AssignHelpIds(&window, quorvel::ui::kMainWindowCaption), 4);
    window.show();

    ContextHelp help(HelpTopics::FromResource());
    help.AttachMainWindow(&window);
    Recorder seen;
    seen.Wire(help);

    RightClick(go);
    QCOMPARE(seen.menus, QList<QWidget*>{go});
    QCOMPARE(seen.topics, QList<int>{1005});
    QCOMPARE(help.ChosenHelpId(), 1005);

    RightClick(save);
    QCOMPARE(seen.menus.size(), 1);  // no menu
    QCOMPARE(help.ChosenHelpId(), 1005);

    RightClick(lock);
    QCOMPARE(seen.topics.last(), 1006);

    // The line edit inside a spin box belongs to the spin box.
    RightClick(rows->findChild<QLineEdit*>());
    QCOMPARE(seen.menus.last(), static_cast<QWidget*>(rows));
    QCOMPARE(seen.topics.last(), 1008);

    // The keyboard's menu key is not a right click.
    QContextMenuEvent keyboard(QContextMenuEvent::Keyboard, QPoint(1, 1),
                               go->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(go, &keyboard);
    QCOMPARE(seen.menus.size(), 3);
  }

  void menuDismissedShowsNothing() {
    QWidget window;
    auto* go = new QPushButton("&GO!", &window);
    go->setObjectName("GoBtn");
    quorvel::ui::AssignHelpIds(&window, quorvel::ui::kMainWindowCaption);
    ContextHelp help(HelpTopics::FromResource());
    help.AttachMainWindow(&window);
    int shown = 0;
    help.SetMenuRunner([](QWidget*, const QPoint&) { return false; });
    help.SetTopicShower([&](int, const QString&, QWidget*) { ++shown; });
    RightClick(go);
    QCOMPARE(help.ChosenHelpId(), 1005);
    QCOMPARE(shown, 0);
  }

  void dialogContextHelpUsesNearestParentsId() {
    QDialog dialog;
    auto* box = new QGroupBox(" Custom HTML Tags ", &dialog);
    box->setProperty("helpId", 7009);
    auto* inner = new QLabel("On the Top of the Page:", box);
    auto* loose = new QLabel("no id anywhere", &dialog);
    ContextHelp help(HelpTopics::FromResource());
    help.AttachDialog(&dialog);
    Recorder seen;
    seen.Wire(help);
    QCOMPARE(FindHelpId(inner), 7009);
    QCOMPARE(FindHelpId(loose), 0);

    QHelpEvent click(QEvent::WhatsThis, QPoint(1, 1), inner->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(inner, &click);
    QCOMPARE(seen.topics, QList<int>{7009});
    QCOMPARE(seen.places, QList<QWidget*>{box});  // shown at the control with the id

    QHelpEvent query(QEvent::QueryWhatsThis, QPoint(1, 1), QPoint(1, 1));
    QVERIFY(QApplication::sendEvent(inner, &query) && query.isAccepted());

    QHelpEvent nothing(QEvent::WhatsThis, QPoint(1, 1), QPoint(1, 1));
    QApplication::sendEvent(loose, &nothing);
    QCOMPARE(seen.topics.size(), 1);

    // Right clicks open menus only on the main window.
    RightClick(inner);
    QVERIFY(seen.menus.isEmpty());
  }

  void f1ShowsTheControlsTopic() {
    QDialog dialog;
    auto* edit = new QLineEdit(&dialog);
    edit->setObjectName("HTMLTitleEdit");
    quorvel::ui::AssignHelpIds(&dialog, "HTML Properties");
    ContextHelp help(HelpTopics::FromResource());
    help.AttachDialog(&dialog);
    Recorder seen;
    seen.Wire(help);
    QTest::keyClick(edit, Qt::Key_F1);
    QCOMPARE(seen.topics, QList<int>{7001});
  }

  void unattachedWindowsAreLeftAlone() {
    QWidget window;
    auto* go = new QPushButton("&GO!", &window);
    go->setObjectName("GoBtn");
    go->setProperty("helpId", 1005);
    ContextHelp help(HelpTopics::FromResource());
    Recorder seen;
    seen.Wire(help);
    help.AttachDialog(new QDialog(&window));
    RightClick(go);
    QTest::keyClick(go, Qt::Key_F1);
    QVERIFY(seen.menus.isEmpty());
    QVERIFY(seen.topics.isEmpty());
  }
};

QTEST_MAIN(HelpTopicsTest)
#include "help_topics_test.moc"
