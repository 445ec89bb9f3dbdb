// The main window and its property dialogs as a user drives them: every field's way through the
// settings, a state file and the configuration; the web-ready box; the list's buttons; GO! and
// what it shows; the lock and the first start; the worker count.
#include "ui/main_window.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMetaProperty>
#include <QMimeData>
#include <QPainter>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <filesystem>

#include "persist/config_file.h"
#include "support/golden.h"
#include "support/test_jpeg.h"
#include "support/test_png.h"
#include "ui/color_box.h"
#include "ui/desktop_shortcut.h"
#include "ui/directory_list_box.h"
#include "ui/directory_picker.h"
#include "ui/property_dialogs.h"
#include "ui_test_support.h"

using namespace quorvel;
using testing::Find;
using testing::Row;
using Values = QMap<QString, QVariant>;
namespace keys = persist::config_keys;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A field's value as the user sees it (its user property: a combo box's text, say).
QVariant Value(QWidget* w) { return w->metaObject()->userProperty().read(w); }

// Another value for a field: the box ticked the other way, the next entry, the next number in
// the range, another colour, a character more.
QVariant Changed(QWidget* field) {
  const QVariant v = Value(field);
  const QVariant max = field->property("maximum");
  if (auto* box = qobject_cast<QComboBox*>(field); box && v.typeId() == QMetaType::QString) {
    return box->itemText((box->currentIndex() + 1) % box->count());
  }
  if (v.typeId() == QMetaType::Bool) return !v.toBool();
  if (v.typeId() != QMetaType::Int) return v.toString() + "x";
  if (!max.isValid()) return v.toInt() == 0 ? 1 : 0;  // a colour
  return v.toInt() < max.toInt() ? v.toInt() + 1 : v.toInt() - 1;
}

// The fields of the property dialogs of `window`, by "caption/name".
QMap<QString, QWidget*> Fields(QWidget* window) {
  QMap<QString, QWidget*> fields;
  for (QDialog* d : window->findChildren<QDialog*>()) {
    for (QWidget* w : d->findChildren<QWidget*>()) {
      const auto* button = qobject_cast<QAbstractButton*>(w);
      if (d->inherits("quorvel::ui::PropertyDialog") && !w->objectName().isEmpty() &&
          w->metaObject()->userProperty().isWritable() && (!button || button->isCheckable()) &&
          !qobject_cast<QAbstractSpinBox*>(w->parent()) && !qobject_cast<QComboBox*>(w->parent())) {
        fields[d->windowTitle() + "/" + w->objectName()] = w;
      }
    }
  }
  return fields;
}
Values ValuesOf(QWidget* window) {
  Values values;
  for (const auto& [key, field] : Fields(window).asKeyValueRange()) values[key] = Value(field);
  return values;
}

// JPEGs listed (-1: no folder), a broken one, one cut short, a PNG, the web-ready box, Esc after
// some images.
const std::tuple<const char*, int, bool, bool, bool, bool, int> kGoes[] = {
    {"empty-list", -1, false, false, false, false, -1},
    {"only-png", 0, false, false, true, false, -1},
    {"broken-photo", 2, true, false, false, false, -1},
    {"cut-photo", 1, false, true, false, false, -1},
    {"png-skipped", 1, false, false, true, false, -1},
    {"web-ready", 1, false, false, true, true, -1},
    {"stopped", 4, false, false, false, false, 3},
};

class MainWindowTest : public QObject {
  Q_OBJECT
  std::unique_ptr<testing::TempDir> tmp_;
  testing::Answers answers_;
  ui::ShortcutPlace place_;

  std::unique_ptr<ui::MainWindow> Window() {
    place_ = {tmp_->mkdir("Desktop"), tmp_->file("icons/q.png"), "/usr/bin/true", ""};
    return std::make_unique<ui::MainWindow>(
        ui::MainWindowOptions{tmp_->file("quorvel.cfg"), answers_.Prompts(), &place_});
  }
  static void Click(QWidget* w, const QString& name) {
    QTest::mouseClick(Find<QAbstractButton>(w, name), Qt::LeftButton);
  }
  // Opens every property dialog from its button, changes every field, and closes it with OK or
  // Cancel; the fields a change did not reach.
  static QStringList EditEveryField(QWidget* w, bool ok) {
    QStringList unchanged;
    const QMap<QString, QWidget*> fields = Fields(w);
    for (auto* button : w->findChildren<QPushButton*>(QRegularExpression("PropertiesBtn$"))) {
      QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        for (const auto& [key, field] : fields.asKeyValueRange()) {
          if (field->window() != d) continue;
          const QVariant changed = Changed(field);
          field->metaObject()->userProperty().write(field, changed);
          if (Value(field) != changed) unchanged << key;
        }
        ok ? d->accept() : d->reject();
      });
      button->click();
    }
    return unchanged;
  }

 private slots:
  void init() {
    tmp_ = std::make_unique<testing::TempDir>();
    answers_ = {};
  }

  // Every field of every property dialog, changed: Cancel shows what was there; OK keeps it, and
  // a state file (the thumbnail options: the configuration) brings it back into a new window.
  void everyFieldRoundTrips() {
    answers_.file = tmp_->file("job.qvl");
    auto w = Window();
    const Values shown = ValuesOf(w.get());
    QCOMPARE(EditEveryField(w.get(), false), QStringList());
    QCOMPARE(ValuesOf(w.get()), shown);
    QCOMPARE(EditEveryField(w.get(), true), QStringList());
    const Values changed = ValuesOf(w.get());
    Click(w.get(), "SaveBtn");
    w.reset();
    w = Window();
    Click(w.get(), "LoadButton");
    QCOMPARE(ValuesOf(w.get()), changed);
    QCOMPARE(answers_.errors, QStringList());
    QCOMPARE(answers_.file_dialogs, (QStringList{"Save state to...", "Load state from..."}));
  }

  // Parts of the web-ready set turned on one by one (in a state file, by --set) stay as they
  // are unless the box changes.
  void webBoxKeepsPartsSetOneByOne() {
    GallerySettings settings;
    ImagingOptions imaging;
    settings.Web.PhotoPages = true;
    ui::PropertyDialogs dialogs(settings, imaging, nullptr);
    QDialog* d = dialogs.Dialog(ui::PropertyDialogKind::Pictures);
    auto* web = Find<QCheckBox>(d, "WebGalleryCheckBox");
    QVERIFY(!web->isChecked());
    d->accept();
    QVERIFY(settings.Web.PhotoPages && !settings.Web.PhoneLayout);
    for (const bool on : {true, false}) {
      web->setChecked(on);
      d->accept();
      QCOMPARE(IsWebReady(settings.Web), on);
      QCOMPARE(settings.Web.PhotoPages, on);
    }
  }

  // The colour picker starts from the shared custom colour, whose change Cancel takes back from
  // the box; "Default" alone is drawn empty and crossed. The picture picker, cancelled, keeps the
  // typed path.
  void choosers() {
    GallerySettings settings;
    ImagingOptions imaging;
    ui::PropertyDialogs dialogs(settings, imaging, nullptr);
    ColorValue preset = -2;
    std::optional<ColorValue> answer;
    dialogs.Pickers().color = [&](QWidget*, ColorValue initial) {
      preset = initial;
      return answer;
    };
    std::optional<QString> picture;
    dialogs.Pickers().picture = [&](QWidget*, const QString&) { return picture; };
    QDialog* table = dialogs.Dialog(ui::PropertyDialogKind::Table);
    auto* box = Find<ui::ColorBox>(table, "TableBorderColorComboBox");
    box->SetValue(0x123456);  // becomes the shared custom colour
    table->show();
    table->accept();
    table->show();
    emit box->activated(17);  // the picker, cancelled
    QCOMPARE(preset, 0x123456);
    answer = 0x010203;
    emit box->activated(17);
    QCOMPARE(box->Value(), 0x010203);
    table->reject();
    QCOMPARE(box->Value(), 0x123456);
    QVERIFY(box->Look(0, false).crossed && !box->Look(1, false).crossed);
    // A pixel of an entry drawn red into 60 x 16, crossed ("Default") or not.
    const std::tuple<bool, QPoint, Qt::GlobalColor> pixels[] = {
        {false, {23, 12}, Qt::black},  // 22 wide, inset 2
        {false, {12, 8}, Qt::red},
        {true, {12, 4}, Qt::white},
        {true, {3, 3}, Qt::black}};
    for (const auto& [crossed, at, colour] : pixels) {
      QImage image(60, 16, QImage::Format_RGB32);
      QPainter painter(&image);
      ui::DrawColorEntry(painter, image.rect(),
                         {Qt::white, Qt::black, Qt::red, Qt::black, "", crossed});
      QCOMPARE(image.pixelColor(at), QColor(colour));
    }
    QDialog* cell = dialogs.Dialog(ui::PropertyDialogKind::Cell);
    Find<QCheckBox>(cell, "CellBackgroundImageCheckBox")->click();
    Find<QLineEdit>(cell, "CellBackgroundImageEdit")->setText("/pics/typed.gif");
    Find<QToolButton>(cell, "CellBackgroundImageEditBrowse")->click();
    QCOMPARE(Find<QLineEdit>(cell, "CellBackgroundImageEdit")->text(), QString("/pics/typed.gif"));
    picture = "/pics/chosen.jpg";
    Find<QToolButton>(cell, "CellBackgroundImageEditBrowse")->click();
    cell->accept();
    QCOMPARE(settings.Cell.BackgroundImage, std::string("/pics/chosen.jpg"));
  }

  // "..." fills the field, not the list ("Add All Sub Directories" only for adding); Filter,
  // Remove and Clear; files dropped add their folder once; the focus shows on the first row, or
  // around the inside of an empty list, and nowhere else.
  void theList() {
    auto w = Window();
    const std::string a = tmp_->mkdir("a"), thumb = tmp_->mkdir("a/thumb");
    QList<bool> hidden;
    w->findChild<ui::DirectoryPicker*>()->SetModalRunner([&](ui::DirectoryPicker& picker) {
      auto* sub = Find<QCheckBox>(&picker, "SubDirectoriesCheck");
      hidden << sub->isHidden();
      picker.SelectDirectory(a);
      sub->setChecked(false);
      Find<QPushButton>(&picker, "OKBtn")->click();
      return picker.result();
    });
    auto* list = Find<ui::DirectoryListBox>(w.get(), "DirListBox");
    Click(w.get(), "HTMLDirectoryEditBrowse");
    Click(w.get(), "AddDirBtn");
    QCOMPARE(Find<QLineEdit>(w.get(), "HTMLDirectoryEdit")->text(), Q(a + "/"));
    QCOMPARE(hidden, (QList<bool>{true, false}));
    w->AddGivenPaths({Q(thumb)});
    Click(w.get(), "FilterBtn");
    QCOMPARE(list->count(), 1);
    w->AddGivenPaths({Q(thumb)});
    list->item(0)->setSelected(true);
    Click(w.get(), "RemoveDirBtn");
    QCOMPARE(list->item(0)->text(), Q(thumb));
    Click(w.get(), "ClearBtn");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Q(tmp_->write("b/x.jpg", "x"))),
                  QUrl::fromLocalFile(Q(tmp_->write("b/y.jpg", "y")))});
    QDragEnterEvent enter({2, 2}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QVERIFY(QApplication::sendEvent(list->viewport(), &enter) && enter.isAccepted());
    QDropEvent drop({2, 2}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &drop);
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), Q(tmp_->file("b")));
    w->show();
    QApplication::setActiveWindow(w.get());
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    const auto focus_shows_within = [&](const QRect& around) {  // Shift+Tab into the list
      QWidget* next = Find(w.get(), "AddDirBtn");
      next->setFocus();
      const QImage before = list->viewport()->grab().toImage();
      QTest::keyClick(next, Qt::Key_Backtab);
      const QImage after = list->viewport()->grab().toImage();
      QRect changed;
      for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
          if (after.pixel(x, y) != before.pixel(x, y)) changed |= QRect(x, y, 1, 1);
        }
      }
      return !changed.isNull() && around.contains(changed);
    };
    QVERIFY(focus_shows_within(list->visualItemRect(list->item(0))));
    Click(w.get(), "ClearBtn");
    QVERIFY(focus_shows_within(list->viewport()->rect()));
  }

  // What GO! shows (golden): the progress window's last title and whether it gave the time left
  // (once 3 images are done), then the message or the summary's lines, and the page it opens.
  void goSaysWhatItDid_data() { testing::Rows(kGoes); }
  void goSaysWhatItDid() {
    const auto& [name, photos, broken, cut, png, web, stop_after] = Row(kGoes);
    answers_.stop_after = stop_after;
    auto w = Window();
    const std::string gallery = tmp_->mkdir("web"), pics = tmp_->mkdir("p");
    for (int i = 0; i < photos; ++i) testing::WriteTestJpeg(pics + "/" + char('a' + i) + ".jpg");
    if (broken) tmp_->write("p/broken.jpg", "not a JPEG file");
    const std::string whole = testing::EncodeTestJpeg({.width = 64, .height = 48});
    if (cut) tmp_->write("p/cut.jpg", whole.substr(0, whole.size() * 3 / 4));
    if (png) tmp_->write("p/x.png", testing::EncodeTestPng({}));
    auto* web_box = Find<QCheckBox>(w.get(), "WebGalleryCheckBox");
    web_box->setChecked(web);
    qobject_cast<QDialog*>(web_box->window())->accept();
    Find<QLineEdit>(w.get(), "HTMLDirectoryEdit")->setText(Q(gallery));
    Find<QLineEdit>(w.get(), "AllThumbnailsDirectoryEdit")->setText(Q(tmp_->mkdir("thumbs")));
    if (photos >= 0) w->AddGivenPaths({Q(pics)});
    Click(w.get(), "GoBtn");
    const bool pace = answers_.progress.value(1).endsWith(" left");
    QStringList seen{answers_.progress.value(0), pace ? "the time left shown" : "no time left"};
    seen << answers_.shown;
    for (const QUrl& url : answers_.opened) seen << url.toLocalFile();
    const std::string transcript = (seen.join("\n") + "\n").toStdString();
    const std::string golden = "ui/go/" + std::string(name) + ".txt";
    QCOMPARE(testing::CompareWithGolden(testing::WithTmp(transcript, tmp_->path()), golden), "");
  }

  // With the lock down the last state saved is loaded when the window is first shown (not before;
  // the rules run after it); a bad file is shown, changes nothing; the first start asks once.
  void lockLoadsTheLastStateAtStart() {
    {
      auto w = Window();
      Find<QSpinBox>(w.get(), "ThumbnailRowEdit")->setValue(4);
      Click(w.get(), "SeparateHTMLCheckBox");
      answers_.file = tmp_->mkdir("states") + "/job.qvl";
      Click(w.get(), "SaveBtn");
      Click(w.get(), "LockBtn");
      answers_.file = tmp_->write("bad.qvl", "not a state file");
      Click(w.get(), "LoadButton");
      const QIcon lock = Find<QToolButton>(w.get(), "LockBtn")->icon();  // down and up differ
      QVERIFY(lock.pixmap(20, QIcon::Normal, QIcon::On).toImage() !=
              lock.pixmap(20, QIcon::Normal, QIcon::Off).toImage());
    }
    for (const int expected : {4, 5}) {  // with the state file, then without it
      auto w = Window();
      QCOMPARE(Find<QSpinBox>(w.get(), "ThumbnailRowEdit")->value(), 5);
      w->show();
      QCOMPARE(Find<QSpinBox>(w.get(), "ThumbnailRowEdit")->value(), expected);
      QCOMPARE(Find(w.get(), "HTMLNameEdit")->isEnabled(), expected == 5);
      std::filesystem::remove(tmp_->file("states/job.qvl"));
    }
    QCOMPARE(answers_.errors.size(), 1);                                  // the bad file only
    QCOMPARE(answers_.questions, QStringList{ui::FirstStartQuestion()});  // at the first start
  }

  // Centred, 634 x 465 at the default font; larger, every text whole, where a larger desktop font
  // (or one changed while the window is open) needs room; the list's rows follow the window's font.
  void windowFitsTheFont_data() {
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("while_open");
    QTest::newRow("default font") << 0 << false;
    QTest::newRow("11 pt") << 11 << false;
    QTest::newRow("11 pt, set while open") << 11 << true;
  }
  void windowFitsTheFont() {
    QFETCH(int, points);
    QFETCH(bool, while_open);
    const QFont before = QApplication::font();
    QFont font = before;
    if (points) font.setPointSize(points);
    if (!while_open) QApplication::setFont(font);
    auto w = Window();
    if (while_open) w->setFont(font);  // as a change of the desktop's font reaches it
    w->AddGivenPaths({Q(tmp_->path())});
    w->show();
    const QSize size = w->size();
    const QPoint place = w->geometry().topLeft();
    const QStringList clipped = testing::ClippedTexts(w.get());
    const auto* list = Find<ui::DirectoryListBox>(w.get(), "DirListBox");
    const int row_height = list->visualItemRect(list->item(0)).height();
    QApplication::setFont(before);
    QCOMPARE(clipped, QStringList());
    if (!while_open) QCOMPARE(place, testing::ScreenCentre(size));  // then it grows in place
    if (!points) QCOMPARE(size, QSize(634, 465));
    if (points)
      QVERIFY2(size.width() > 634 && size.height() >= 465,
               qPrintable(QString::number(size.width())));
    QCOMPARE(row_height, std::max(13, QFontMetrics(font).height()));
  }

  // Without a stored choice, the workers the machine bears; a stored one kept within the range.
  void workerCount() {
    persist::ConfigFile config(tmp_->file("quorvel.cfg"));
    const int machine = std::clamp(ImagingOptions::DefaultJobs(), ImagingOptions::kMinJobs,
                                   ImagingOptions::kMaxJobs);
    for (const auto& [stored, expected] : {std::pair{-1, machine}, {3, 3}, {0, 1}, {999, 256}}) {
      if (stored >= 0) config.WriteInt(keys::kOptions, keys::kJobs, stored);
      QCOMPARE(Find<QSpinBox>(Window().get(), "WorkersSpinEdit")->value(), expected);
    }
  }
};

}  // namespace

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
