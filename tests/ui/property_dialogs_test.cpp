// The property dialogs as a user drives them: OK keeps an edit (set, or typed and read as the
// editor reads it), Cancel puts back what was shown, a loaded state is shown; the Pictures
// forms; background image boxes; the colour box.
#include "ui/property_dialogs.h"

#include <QDialog>
#include <QMetaProperty>
#include <QPainter>

#include "ui/color_box.h"
#include "ui_test_support.h"

using namespace quorvel;
using testing::Find;
using testing::Row;
using Kind = ui::PropertyDialogKind;

namespace {

// A control's value as the user sees it (its user property: a combo box's text, say).
QVariant Value(QWidget* w) { return w->metaObject()->userProperty().read(w); }
void SetValue(QWidget* w, const QVariant& v) { w->metaObject()->userProperty().write(w, v); }
void Pick(ui::ColorBox* box, int entry) { emit box->activated(entry); }

// A control set to a value, or (with `typed`) text typed into it and the value it reads as;
// the controls a check box enables.
const std::tuple<const char*, Kind, const char*, QVariant, const char*, const char*> kEdits[] = {
    {"quality", Kind::Thumbnail, "CompressionSlider", 85, nullptr, ""},
    {"mask", Kind::Thumbnail, "ThumbnailMaskEdit", "t_%f", nullptr, ""},
    {"camera orientation", Kind::Thumbnail, "OrientationCheckBox", false, nullptr, ""},
    {"colour profile", Kind::Thumbnail, "ColourProfileCheckBox", false, nullptr, ""},
    {"fast mode", Kind::Thumbnail, "FastModeCheckBox", true, nullptr, ""},
    {"workers", Kind::Thumbnail, "WorkersSpinEdit", 3, nullptr, ""},
    {"table colour", Kind::Table, "TableLightBorderColorComboBox", 0x0000FF, nullptr, ""},
    {"table image", Kind::Table, "TableBackgroundImageCheckBox", true, nullptr,
     "BackgroundImageEdit BackgroundImageEditBrowse"},
    {"cell alignment", Kind::Cell, "VerticalAligmentComboBox", "top", nullptr, ""},
    {"cell height", Kind::Cell, "CellHeightCheckBox", false, nullptr, "CellHeightEdit"},
    {"text size", Kind::Text, "FileSizeSizeComboBox", "+1", nullptr, ""},
    {"image name", Kind::Text, "FileNameCheckBox", false, nullptr,
     "FileNameItalicCheckBox FileNameBoldCheckBox FileNameFontComboBox FileNameSizeComboBox "
     "FileNameColorComboBox"},
    {"html memo", Kind::Html, "HTMLTopMemo", "<b>\nhi", nullptr, ""},
    {"navigator font", Kind::Navigator, "NavigatorFontComboBox", "Georgia", nullptr, ""},
    {"navigator alignment", Kind::Navigator, "NavigatorAligmentComboBox", "right", nullptr, ""},
    {"pictures target", Kind::Pictures, "WhereToOpenComboBox", "New Window", nullptr, ""},
    {"typed, not a number: the lower end", Kind::Table, "CellPaddingEdit", 0, "abc", ""},
    {"typed, half a number", Kind::Thumbnail, "QualitySpinEdit", 1, "7x", ""},
    {"typed, too large", Kind::Thumbnail, "ThumbnailYSizeEdit", 1000, "5000", ""},
    {"typed, unranged: 0", Kind::Cell, "CellHeightEdit", 0, "tall", ""},
    {"typed, unranged negative", Kind::Cell, "CellWidthEdit", -40, "-40", ""},
};

// A pixel of a colour entry drawn red into 60 x 16, crossed (as "Default") or not.
const std::tuple<const char*, bool, QPoint, Qt::GlobalColor> kPixels[] = {
    {"22 wide, inset 2", false, {23, 12}, Qt::black},
    {"filled inside", false, {12, 8}, Qt::red},
    {"Default is empty", true, {12, 4}, Qt::white},
    {"and crossed", true, {3, 3}, Qt::black},
};

class PropertyDialogsTest : public QObject {
  Q_OBJECT
  GallerySettings settings_;
  ImagingOptions imaging_;
  std::unique_ptr<ui::PropertyDialogs> dialogs_;
  std::optional<ColorValue> color_answer_;
  ColorValue color_preset_ = -2;
  std::optional<QString> picture_answer_;
  QStringList picture_asked_;

  QDialog* Dialog(Kind kind) { return dialogs_->Dialog(kind); }

 private slots:
  void init() {
    settings_ = {};
    imaging_ = {};
    dialogs_ = std::make_unique<ui::PropertyDialogs>(settings_, imaging_, nullptr);
    dialogs_->Pickers().color = [this](QWidget*, ColorValue initial) {
      color_preset_ = initial;
      return color_answer_;
    };
    dialogs_->Pickers().picture = [this](QWidget*, const QString& current) {
      picture_asked_ << current;
      return picture_answer_;
    };
  }

  void okKeepsCancelRestoresBoxesEnable_data() { testing::Rows(kEdits); }
  void okKeepsCancelRestoresBoxesEnable() {
    const auto& [name, kind, control_name, value, typed, enabled] = Row(kEdits);
    QDialog* d = Dialog(kind);
    QWidget* control = Find(d, control_name);
    const QVariant old = Value(control);
    const GallerySettings before = settings_;
    for (const bool ok : {false, true}) {
      d->show();
      if (typed) {
        auto* edit = control->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), QString(typed));  // nothing typed is refused
      } else {
        SetValue(control, value);
        const QVariant quality = Value(Find(Dialog(Kind::Thumbnail), "QualitySpinEdit"));
        QCOMPARE(quality, Value(Find(Dialog(Kind::Thumbnail), "CompressionSlider")));
      }
      ok ? d->accept() : d->reject();  // while the text is still being typed
      if (!ok) QCOMPARE(Value(control), old);
      if (!ok) QVERIFY(settings_ == before);
      for (const QString& c : QString(enabled).split(' ', Qt::SkipEmptyParts)) {
        QCOMPARE(Find(d, c)->isEnabled(), Value(control).toBool());
      }
    }
    dialogs_->ShowSettings();  // every control shown again from what OK stored
    QCOMPARE(Value(control), value);
  }

  void aLoadedStateIsShown() {
    settings_.Page.Title = "Loaded";
    settings_.Picture.CreatePicturePages = true;
    settings_.Picture.PicturePage.TextColor = 0x0000FF;
    settings_.Navigator.Alignment = 2;
    dialogs_->ShowSettings();
    QCOMPARE(Find<QLineEdit>(Dialog(Kind::Html), "HTMLTitleEdit")->text(), QString("Loaded"));
    QDialog* pictures = Dialog(Kind::Pictures);
    QVERIFY(Find<QCheckBox>(pictures, "CreateHTMLCheckBox")->isChecked());
    QVERIFY(!Find(pictures, "HTMLTitleEdit")->isHidden());  // the full form
    QCOMPARE(Find<ui::ColorBox>(pictures, "HTMLTextColorComboBox")->currentText(), QString("Red"));
    QCOMPARE(Find<QComboBox>(Dialog(Kind::Navigator), "NavigatorAligmentComboBox")->currentText(),
             QString("right"));
  }

  void picturesDialogHasTwoForms() {
    QDialog* d = Dialog(Kind::Pictures);
    auto* create = Find<QCheckBox>(d, "CreateHTMLCheckBox");
    const QSize small = d->size();
    QVERIFY(small.width() >= 239 && small.height() >= 116);
    d->show();
    QTest::mouseClick(create, Qt::LeftButton);
    const QSize full = d->size();
    QVERIFY(full.width() >= 640 && full.height() >= 417 && Find(d, "HTMLTitleEdit")->isVisible());
    d->accept();
    d->show();
    QTest::mouseClick(create, Qt::LeftButton);
    QCOMPARE(d->size(), small);
    d->reject();  // hidden, back to the full form, centred again
    QVERIFY(!d->isVisible());
    QCOMPARE(d->size(), full);
    QCOMPARE(d->geometry().topLeft(), testing::ScreenCentre(full));
  }

  void backgroundImageBoxes() {
    QDialog* d = Dialog(Kind::Cell);
    auto* edit = Find<QLineEdit>(d, "CellBackgroundImageEdit");
    d->show();
    Find<QCheckBox>(d, "CellBackgroundImageCheckBox")->click();
    edit->setText("/pics/typed.gif");
    Find<QToolButton>(d, "CellBackgroundImageEditBrowse")->click();  // cancelled
    QCOMPARE(edit->text(), QString("/pics/typed.gif"));
    picture_answer_ = "/pics/chosen.jpg";
    Find<QToolButton>(d, "CellBackgroundImageEditBrowse")->click();
    QCOMPARE(picture_asked_, QStringList(2, "/pics/typed.gif"));
    d->accept();
    QCOMPARE(settings_.Cell.BackgroundImage, std::string("/pics/chosen.jpg"));
    // Qt separates the patterns of one type by spaces.
    QCOMPARE(ui::PictureFileFilter().split(";;").last(), QString("All (*.gif *.jpg *.jpeg)"));
  }

  void customColourChoiceAndCancel() {
    QDialog* d = Dialog(Kind::Table);
    auto* box = Find<ui::ColorBox>(d, "TableBorderColorComboBox");
    box->SetValue(0x123456);  // becomes the shared custom colour
    d->show();
    d->accept();
    d->show();
    Pick(box, 17);  // the picker, preset to the shared colour, is cancelled
    QCOMPARE(color_preset_, 0x123456);
    QCOMPARE(box->Value(), 0x123456);
    color_answer_ = 0x010203;
    Pick(box, 17);  // another custom colour, shared by every box
    QCOMPARE(box->Value(), 0x010203);
    d->reject();  // the box gets its own old value back, not the shared one
    QCOMPARE(box->Value(), 0x123456);
    Pick(box, 0);
    QCOMPARE(box->Value(), -1);
    QVERIFY(box->Look(0, false).crossed && !box->Look(1, false).crossed);  // "Default" only
  }

  void colourEntryDrawing_data() { testing::Rows(kPixels); }
  void colourEntryDrawing() {
    const auto& [name, crossed, at, colour] = Row(kPixels);
    QImage image(60, 16, QImage::Format_RGB32);
    QPainter painter(&image);
    ui::DrawColorEntry(painter, image.rect(),
                       {Qt::white, Qt::black, Qt::red, Qt::black, "", crossed});
    QCOMPARE(image.pixelColor(at), QColor(colour));
  }
};

}  // namespace

QTEST_MAIN(PropertyDialogsTest)
#include "property_dialogs_test.moc"
