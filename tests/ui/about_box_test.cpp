// The About box: its size and picture, the link turning blue under the mouse and handing the
// web-site address to the opener on a left click only.
#include "ui/about_box.h"

#include <QEnterEvent>
#include <QPushButton>
#include <QTest>

#include "html/page_frame.h"

using quorvel::ui::AboutBox;

class AboutBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void layoutAndTexts() {
    AboutBox box;
    QCOMPARE(box.windowTitle(), QString("About"));
    QCOMPARE(box.size(), QSize(455, 270));
    QVERIFY(box.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(AboutBox::DrawPicture().size(), QSize(452, 165));
    QCOMPARE(AboutBox::CreditsText().count('\n'), 2);  // three lines
    QCOMPARE(box.WebSiteLink()->text(), QString("QUORVELANDISCOPEs web-site"));
    QCOMPARE(box.OkButton()->text(), QString("&OK"));
  }

  void linkTurnsBlueAndOpensTheAddress() {
    AboutBox box;
    quorvel::ui::LinkLabel* link = box.WebSiteLink();
    QList<QUrl> opened;
    link->SetOpener([&](const QUrl& url) { opened << url; });
    const auto colour = [&] { return link->palette().color(QPalette::WindowText); };
    QCOMPARE(colour(), QColor(0, 0, 0));
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(link, &enter);
    QCOMPARE(colour(), QColor(0, 0, 255));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(link, &leave);
    QCOMPARE(colour(), QColor(0, 0, 0));

    QTest::mouseClick(link, Qt::RightButton);
    QVERIFY(opened.isEmpty());
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(opened, QList<QUrl>{QUrl(QString::fromLatin1(quorvel::html::kProductWebAddress))});
  }

  void okCloses() {
    AboutBox box;
    box.show();
    box.OkButton()->click();
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), int(QDialog::Accepted));
  }
};

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
