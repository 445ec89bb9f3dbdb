// The property dialogs as a user drives them: OK keeps an edit, Cancel puts back what the
// dialog showed, the enabling of the check boxes, the Pictures dialog's two sizes, the
// background image boxes, the derived HTML and the colour box's choices and drawing.
#include "ui/property_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <functional>

#include "job/path_style.h"
#include "html/navigator.h"
#include "html/page_frame.h"
#include "html/picture_page.h"
#include "ui/color_box.h"
#include "ui/pictures_properties_dialog.h"

using quorvel::ColorValue;
using quorvel::GallerySettings;
using quorvel::ImagingOptions;
using quorvel::ui::ColorBox;
using quorvel::ui::PropertyDialogKind;
using quorvel::ui::PropertyDialogs;

namespace {

constexpr ColorValue kRed = 0x0000FF;
constexpr ColorValue kOdd = 0x123456;

// One edit of one dialog: `change` alters a control, `changed` tells whether the settings
// carry the alteration, `shown` whether the control shows it.
struct EditCase {
  const char* name;
  PropertyDialogKind kind;
  std::function<void(QDialog&)> change;
  std::function<bool(const GallerySettings&, const ImagingOptions&)> changed;
  std::function<bool(QDialog&)> shown;
};

template <typename T>
T* Child(QDialog& d, const char* name) {
  T* child = d.findChild<T*>(name);
  if (!child) qFatal("no control %s in %s", name, qPrintable(d.windowTitle()));
  return child;
}

void Pick(ColorBox* box, int entry) {
  box->setCurrentIndex(entry);
  emit box->activated(entry);
}

template <typename T>
std::function<void(QDialog&)> SetSpin(const char* name, int value) {
  return [=](QDialog& d) { Child<T>(d, name)->setValue(value); };
}
std::function<void(QDialog&)> SetIndex(const char* name, int index) {
  return [=](QDialog& d) { Child<QComboBox>(d, name)->setCurrentIndex(index); };
}
std::function<void(QDialog&)> Toggle(const char* name) {
  return [=](QDialog& d) { Child<QCheckBox>(d, name)->toggle(); };
}
std::function<void(QDialog&)> SetText(const char* name, const char* text) {
  return [=](QDialog& d) { Child<QLineEdit>(d, name)->setText(text); };
}
std::function<void(QDialog&)> PickRed(const char* name) {
  return [=](QDialog& d) { Pick(Child<ColorBox>(d, name), 10); };
}
std::function<bool(QDialog&)> SpinShows(const char* name, int value) {
  return [=](QDialog& d) { return Child<QSpinBox>(d, name)->value() == value; };
}
std::function<bool(QDialog&)> IndexShows(const char* name, int index) {
  return [=](QDialog& d) { return Child<QComboBox>(d, name)->currentIndex() == index; };
}
std::function<bool(QDialog&)> TextShows(const char* name, const char* text) {
  return [=](QDialog& d) { return Child<QLineEdit>(d, name)->text() == text; };
}
std::function<bool(QDialog&)> RedShown(const char* name) {
  return [=](QDialog& d) { return Child<ColorBox>(d, name)->Value() == kRed; };
}

std::vector<EditCase> EditCases() {
  using K = PropertyDialogKind;
  using S = const GallerySettings&;
  using I = const ImagingOptions&;
  return {
      {"thumbnail quality", K::Thumbnail, SetSpin<QSlider>("CompressionSlider", 85),
       [](S s, I) { return s.Thumbnail.Quality == 85; }, SpinShows("QualitySpinEdit", 85)},
      {"thumbnail mask", K::Thumbnail, SetText("ThumbnailMaskEdit", "t_%f"),
       [](S s, I) { return s.Thumbnail.ThumbnailNameMask == "t_%f"; },
       TextShows("ThumbnailMaskEdit", "t_%f")},
      {"thumbnail orientation", K::Thumbnail, Toggle("OrientationCheckBox"),
       [](S, I i) { return !i.apply_orientation; },
       [](QDialog& d) { return !Child<QCheckBox>(d, "OrientationCheckBox")->isChecked(); }},
      {"thumbnail fast mode", K::Thumbnail, Toggle("FastModeCheckBox"),
       [](S, I i) { return i.fast; },
       [](QDialog& d) { return Child<QCheckBox>(d, "FastModeCheckBox")->isChecked(); }},
      {"thumbnail workers", K::Thumbnail, SetSpin<QSpinBox>("WorkersSpinEdit", 3),
       [](S, I i) { return i.jobs == 3; }, SpinShows("WorkersSpinEdit", 3)},
      {"table border", K::Table, SetSpin<QSpinBox>("BorderSizeEdit", 7),
       [](S s, I) { return s.Table.BorderSize == 7; }, SpinShows("BorderSizeEdit", 7)},
      {"table colour", K::Table, PickRed("TableLightBorderColorComboBox"),
       [](S s, I) { return s.Table.LightBorderColor == kRed; },
       RedShown("TableLightBorderColorComboBox")},
      {"cell alignment", K::Cell, SetIndex("VerticalAligmentComboBox", 1),
       [](S s, I) { return s.Cell.VerticalAlignment == 1; },
       IndexShows("VerticalAligmentComboBox", 1)},
      {"cell width", K::Cell, SetSpin<QSpinBox>("CellWidthEdit", -40),
       [](S s, I) { return s.Cell.CellWidth == -40; }, SpinShows("CellWidthEdit", -40)},
      {"text size", K::Text, SetIndex("FileSizeSizeComboBox", 9),
       [](S s, I) { return s.Text.ImageSize.Size == 9; }, IndexShows("FileSizeSizeComboBox", 9)},
      {"html title", K::Html, SetText("HTMLTitleEdit", "Summer"),
       [](S s, I) { return s.Page.Title == "Summer"; }, TextShows("HTMLTitleEdit", "Summer")},
      {"html memo", K::Html,
       [](QDialog& d) { Child<QPlainTextEdit>(d, "HTMLTopMemo")->setPlainText("<b>\nhi"); },
       [](S s, I) { return s.Page.TopHTML == quorvel::Lines{"<b>", "hi"}; },
       [](QDialog& d) { return Child<QPlainTextEdit>(d, "HTMLTopMemo")->toPlainText() != ""; }},
      {"navigator font", K::Navigator, SetIndex("NavigatorFontComboBox", 3),
       [](S s, I) { return s.Navigator.Font == 3; }, IndexShows("NavigatorFontComboBox", 3)},
      {"pictures target", K::Pictures, SetIndex("WhereToOpenComboBox", 3),
       [](S s, I) { return s.Picture.TargetFrame == 3; }, IndexShows("WhereToOpenComboBox", 3)},
  };
}

// Draws one entry into a 60 x 16 image.
QImage DrawnEntry(bool names) {
  QImage image(60, 16, QImage::Format_RGB32);
  QPainter painter(&image);
  quorvel::ui::ColorEntryLook look;
  look.background = Qt::white;
  look.outline = Qt::black;
  look.color = QColor(255, 0, 0);
  look.text_color = Qt::black;
  look.display_names = names;
  DrawColorEntry(painter, image.rect(), look);
  return image;
}

class PropertyDialogsTest : public QObject {
  Q_OBJECT

  GallerySettings settings_;
  ImagingOptions imaging_;
  std::unique_ptr<PropertyDialogs> dialogs_;
  std::vector<QString> picture_answers_;
  std::optional<ColorValue> color_answer_;

  QDialog& Dialog(PropertyDialogKind kind) { return *dialogs_->Dialog(kind); }

 private slots:
  void init() {
    settings_ = {};
    imaging_ = {};
    dialogs_ = std::make_unique<PropertyDialogs>(settings_, imaging_, nullptr);
    color_answer_.reset();
    dialogs_->Pickers().color = [this](QWidget*, ColorValue) { return color_answer_; };
    dialogs_->Pickers().picture = [](QWidget*, const QString&) -> std::optional<QString> {
      return std::nullopt;
    };
  }
  void cleanup() { dialogs_.reset(); }

  void captions() {
    const std::pair<PropertyDialogKind, const char*> captions[] = {
        {PropertyDialogKind::Thumbnail, "Thumbnail properties"},
        {PropertyDialogKind::Table, "Table properties"},
        {PropertyDialogKind::Cell, "Cell properties"},
        {PropertyDialogKind::Text, "Text properties"},
        {PropertyDialogKind::Html, "HTML Properties"},
        {PropertyDialogKind::Navigator, "Navigator properties"},
        {PropertyDialogKind::Pictures, "Pictures properties"}};
    for (const auto& [kind, caption] : captions) {
      QDialog& d = Dialog(kind);
      QCOMPARE(d.windowTitle(), QString(caption));
      QVERIFY(d.windowFlags() & Qt::WindowStaysOnTopHint);
      QVERIFY(d.windowFlags() & Qt::WindowContextHelpButtonHint);
      QCOMPARE(d.minimumSize(), d.maximumSize());
      QVERIFY(Child<QPushButton>(d, "OKBtn")->isDefault());
    }
  }

  void okKeepsAndCancelRestores() {
    for (const EditCase& c : EditCases()) {
      const GallerySettings before = settings_;
      const ImagingOptions imaging_before = imaging_;
      QDialog& d = Dialog(c.kind);
      d.show();
      c.change(d);
      QVERIFY2(c.shown(d), c.name);
      d.reject();
      QVERIFY2(!c.shown(d), c.name);
      QVERIFY2(settings_ == before, c.name);
      QVERIFY2(!c.changed(settings_, imaging_), c.name);
      QCOMPARE(imaging_.apply_orientation, imaging_before.apply_orientation);

      d.show();
      c.change(d);
      d.accept();
      QVERIFY2(c.changed(settings_, imaging_), c.name);
      QVERIFY2(c.shown(d), c.name);
      // A later Cancel keeps what OK committed.
      d.show();
      d.reject();
      QVERIFY2(c.changed(settings_, imaging_), c.name);
    }
  }

  void cancelRestoresEntryAndValueOfAColourBox() {
    QDialog& d = Dialog(PropertyDialogKind::Table);
    auto* box = Child<ColorBox>(d, "TableBorderColorComboBox");
    d.show();
    box->SetValue(kOdd);
    d.accept();
    d.show();
    Pick(box, 10);
    QCOMPARE(box->Value(), kRed);
    d.reject();
    QCOMPARE(box->currentIndex(), 17);
    QCOMPARE(box->Value(), kOdd);
    QCOMPARE(settings_.Table.BorderColor, kOdd);
  }

  void sliderSetsQualityAndCancelRestoresBoth() {
    QDialog& d = Dialog(PropertyDialogKind::Thumbnail);
    auto* slider = Child<QSlider>(d, "CompressionSlider");
    auto* quality = Child<QSpinBox>(d, "QualitySpinEdit");
    QCOMPARE(slider->value(), 60);
    QCOMPARE(quality->value(), 60);
    d.show();
    slider->setValue(20);
    QCOMPARE(quality->value(), 20);
    quality->setValue(95);
    QCOMPARE(slider->value(), 95);
    d.reject();
    QCOMPARE(slider->value(), 60);
    QCOMPARE(quality->value(), 60);
    QCOMPARE(Child<QSpinBox>(d, "ThumbnailXSizeEdit")->minimum(), 15);
    QCOMPARE(Child<QSpinBox>(d, "ThumbnailYSizeEdit")->maximum(), 1000);
  }

  void printBoxesEnableTheirControls() {
    QDialog& d = Dialog(PropertyDialogKind::Text);
    const char* controls[] = {"FileNameItalicCheckBox", "FileNameBoldCheckBox",
                              "FileNameFontComboBox", "FileNameSizeComboBox",
                              "FileNameColorComboBox"};
    d.show();
    Child<QComboBox>(d, "FileNameFontComboBox")->setCurrentIndex(4);
    Child<QCheckBox>(d, "FileNameCheckBox")->setChecked(false);
    d.accept();
    QVERIFY(!settings_.Text.ImageName.Print);
    QCOMPARE(settings_.Text.ImageName.Font, 4);
    for (const char* name : controls) QVERIFY2(!Child<QWidget>(d, name)->isEnabled(), name);
    QVERIFY(Child<QWidget>(d, "FileSizeFontComboBox")->isEnabled());
    d.show();
    Child<QCheckBox>(d, "FileNameCheckBox")->setChecked(true);
    for (const char* name : controls) QVERIFY2(Child<QWidget>(d, name)->isEnabled(), name);
    QCOMPARE(Child<QComboBox>(d, "FileNameFontComboBox")->currentIndex(), 4);
    // Cancel re-applies the enabling of the restored box.
    d.reject();
    for (const char* name : controls) QVERIFY2(!Child<QWidget>(d, name)->isEnabled(), name);

    QDialog& cell = Dialog(PropertyDialogKind::Cell);
    Child<QCheckBox>(cell, "CellHeightCheckBox")->setChecked(false);
    QVERIFY(!Child<QWidget>(cell, "CellHeightEdit")->isEnabled());
    QVERIFY(Child<QWidget>(cell, "CellWidthEdit")->isEnabled());

    QDialog& nav = Dialog(PropertyDialogKind::Navigator);
    Child<QCheckBox>(nav, "NavigatorCheckBox")->setChecked(false);
    QVERIFY(!Child<QWidget>(nav, "NavigatorAligmentComboBox")->isEnabled());
    QVERIFY(!Child<QWidget>(nav, "NavigatorColorComboBox")->isEnabled());
  }

  void navigatorWrapperIsTheOneOfTheLastOk() {
    QDialog& d = Dialog(PropertyDialogKind::Navigator);
    QCOMPARE(dialogs_->Navigator().Prefix, quorvel::html::BuildNavigatorWrapper({}).Prefix);
    d.show();
    Child<QComboBox>(d, "NavigatorAligmentComboBox")->setCurrentIndex(2);
    Child<QCheckBox>(d, "NavigatorBoldCheckBox")->setChecked(true);
    d.accept();
    const quorvel::html::NavigatorWrapper built = dialogs_->Navigator();
    QCOMPARE(built.Prefix, quorvel::html::BuildNavigatorWrapper(settings_.Navigator).Prefix);
    QVERIFY(built.Prefix.find("align=\"right\"") != std::string::npos);
    d.show();
    Child<QComboBox>(d, "NavigatorAligmentComboBox")->setCurrentIndex(3);
    d.reject();
    QCOMPARE(Child<QComboBox>(d, "NavigatorAligmentComboBox")->currentIndex(), 2);
    QCOMPARE(dialogs_->Navigator().Prefix, built.Prefix);
    QCOMPARE(dialogs_->Navigator().Suffix, built.Suffix);
  }

  void picturesDialogHasTwoSizes() {
    using quorvel::ui::PicturesPropertiesDialog;
    QDialog& d = Dialog(PropertyDialogKind::Pictures);
    QCOMPARE(d.size(), PicturesPropertiesDialog::kShortSize);
    QVERIFY(!Child<QWidget>(d, "HTMLTitleEdit")->isVisibleTo(&d));
    d.show();
    QTest::mouseClick(Child<QCheckBox>(d, "CreateHTMLCheckBox"), Qt::LeftButton);
    QCOMPARE(d.size(), PicturesPropertiesDialog::kFullSize);
    QVERIFY(Child<QWidget>(d, "HTMLTitleEdit")->isVisible());
    Child<QLineEdit>(d, "HTMLTitleEdit")->setText("One photo");
    d.accept();
    QVERIFY(settings_.Picture.CreatePicturePages);
    QCOMPARE(settings_.Picture.PicturePage.Title, std::string("One photo"));
    QCOMPARE(dialogs_->PicturePageFrame().Header,
             quorvel::html::BuildPicturePageFrame(settings_.Picture, {}, quorvel::kNativePathStyle)
                 .Header);

    d.show();
    QTest::mouseClick(Child<QCheckBox>(d, "CreateHTMLCheckBox"), Qt::LeftButton);
    QCOMPARE(d.size(), PicturesPropertiesDialog::kShortSize);
    d.reject();
    QVERIFY(!d.isVisible());
    QCOMPARE(d.size(), PicturesPropertiesDialog::kFullSize);
    const QSize screen = QGuiApplication::primaryScreen()->size();
    QCOMPARE(d.pos(), QPoint(screen.width() / 2 - 320, screen.height() / 2 - 417 / 2));
  }

  void backgroundPathBoxes() {
    QDialog& d = Dialog(PropertyDialogKind::Cell);
    auto* use = Child<QCheckBox>(d, "CellBackgroundImageCheckBox");
    auto* edit = Child<QLineEdit>(d, "CellBackgroundImageEdit");
    auto* browse = Child<QToolButton>(d, "CellBackgroundImageEditBrowse");
    QVERIFY(!edit->isEnabled());
    QVERIFY(!browse->isEnabled());
    d.show();
    use->setChecked(true);
    QVERIFY(edit->isEnabled() && browse->isEnabled());
    edit->setText("/pics/typed.gif");
    // The picture-open dialog: cancel keeps the text, a choice replaces it.
    QString asked_with;
    std::optional<QString> answer;
    dialogs_->Pickers().picture = [&](QWidget*, const QString& current) {
      asked_with = current;
      return answer;
    };
    browse->click();
    QCOMPARE(asked_with, QString("/pics/typed.gif"));
    QCOMPARE(edit->text(), QString("/pics/typed.gif"));
    d.accept();
    QVERIFY(settings_.Cell.UseBackgroundImage);
    QCOMPARE(settings_.Cell.BackgroundImage, std::string("/pics/typed.gif"));
    d.show();
    answer = "/pics/chosen.jpg";
    browse->click();
    QCOMPARE(edit->text(), QString("/pics/chosen.jpg"));
    d.accept();
    QCOMPARE(settings_.Cell.BackgroundImage, std::string("/pics/chosen.jpg"));
  }

  void loadedSettingsAreShownAndTheirHtmlBuilt() {
    GallerySettings loaded;
    loaded.Table.BackgroundColor = kOdd;
    loaded.Page.Title = "Loaded";
    loaded.Page.TextColor = kRed;
    loaded.Navigator.Alignment = 3;
    loaded.Picture.CreatePicturePages = true;
    loaded.Text.ImageSize.Print = false;
    settings_ = loaded;
    dialogs_->ShowSettings();
    QCOMPARE(settings_, loaded);
    QCOMPARE(Child<ColorBox>(Dialog(PropertyDialogKind::Table), "TableBackgroundColorComboBox")
                 ->Value(),
             kOdd);
    QCOMPARE(Child<QLineEdit>(Dialog(PropertyDialogKind::Html), "HTMLTitleEdit")->text(),
             QString("Loaded"));
    QVERIFY(!Child<QWidget>(Dialog(PropertyDialogKind::Text), "FileSizeBoldCheckBox")
                 ->isEnabled());
    QCOMPARE(Dialog(PropertyDialogKind::Pictures).size(),
             quorvel::ui::PicturesPropertiesDialog::kFullSize);
    QCOMPARE(dialogs_->IndexPageFrame().Header,
             quorvel::html::BuildPageFrame(loaded.Page, "", quorvel::kNativePathStyle).Header);
    QCOMPARE(dialogs_->Navigator().Prefix,
             quorvel::html::BuildNavigatorWrapper(loaded.Navigator).Prefix);
  }

  void colourBoxChoices() {
    quorvel::html::SharedCustomColor custom;
    quorvel::ui::Choosers choosers;
    std::optional<ColorValue> answer;
    ColorValue preset = -2;
    choosers.color = [&](QWidget*, ColorValue initial) {
      preset = initial;
      return answer;
    };
    ColorBox box(custom, choosers), other(custom, choosers);
    QCOMPARE(box.count(), 18);
    QCOMPARE(box.itemText(0), QString("Default"));
    QCOMPARE(box.itemText(16), QString("White"));
    QCOMPARE(box.itemText(17), QString("Custom"));
    QCOMPARE(box.Value(), -1);
    int picked = 0;
    connect(&box, &ColorBox::picked, [&] { ++picked; });

    Pick(&box, 1);  // Black
    QCOMPARE(box.Value(), 0);
    Pick(&box, 0);  // Default: -1, though its swatch is black
    QCOMPARE(box.Value(), -1);
    QCOMPARE(box.Model().EntryColor(0), 0);

    custom.value = kRed;
    box.SetValue(kRed);  // named entries come first
    QCOMPARE(box.currentIndex(), 10);

    box.SetValue(kOdd);
    QCOMPARE(box.currentIndex(), 17);
    QCOMPARE(other.Model().EntryColor(17), kOdd);

    Pick(&box, 17);  // the picker is cancelled
    QCOMPARE(preset, kOdd);
    QCOMPARE(box.Value(), kOdd);
    QCOMPARE(box.currentIndex(), 17);
    answer = 0xFFFFFF;  // a named colour picked as custom selects the named entry
    Pick(&box, 17);
    QCOMPARE(box.currentIndex(), 16);
    QCOMPARE(box.Value(), 0xFFFFFF);
    answer = 0x010203;
    Pick(&box, 17);
    QCOMPARE(box.currentIndex(), 17);
    QCOMPARE(other.Model().EntryColor(17), 0x010203);
    QCOMPARE(picked, 5);
  }

  void colourEntryDrawing() {
    const QImage named = DrawnEntry(true);
    const QColor white(Qt::white), black(Qt::black), red(255, 0, 0);
    QCOMPARE(named.pixelColor(1, 8), white);   // left of the 2-pixel inset
    QCOMPARE(named.pixelColor(2, 1), white);   // above it
    QCOMPARE(named.pixelColor(2, 2), black);   // the outline's corner
    QCOMPARE(named.pixelColor(3, 3), red);     // the interior
    QCOMPARE(named.pixelColor(22, 12), red);
    QCOMPARE(named.pixelColor(23, 8), black);  // 22 wide: the right outline at 2 + 21
    QCOMPARE(named.pixelColor(24, 8), white);
    QCOMPARE(named.pixelColor(10, 13), black);  // bottom outline at 16 - 1 - 2
    QCOMPARE(named.pixelColor(10, 14), white);

    const QImage bare = DrawnEntry(false);
    QCOMPARE(bare.pixelColor(55, 8), red);
    QCOMPARE(bare.pixelColor(56, 8), black);  // 3 pixels short of the right edge (59)
    QCOMPARE(bare.pixelColor(57, 8), white);
  }
};

}  // namespace

QTEST_MAIN(PropertyDialogsTest)
#include "property_dialogs_test.moc"
