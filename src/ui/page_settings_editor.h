// The controls of one page's settings, shared by "HTML Properties" (index pages) and
// "Pictures properties" (picture pages): "Title:", the " Background " group with the background
// image box and five colour boxes, and the " Custom HTML Tags " group with two memos.
#pragma once

#include <QObject>

#include "html/color_box_model.h"
#include "job/gallery_settings.h"
#include "ui/choosers.h"

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace quorvel::ui {

class BackgroundImageBox;
class ColorBox;

class PageSettingsEditor : public QObject {
  Q_OBJECT
 public:
  // The three parts are children of `parent`, for the dialog to lay out.
  PageSettingsEditor(html::SharedCustomColor& custom, const Choosers& choosers, QWidget* parent);

  void Show(const PageSettings& page);
  PageSettings Read() const;

  QWidget* TitleRow() const { return title_row_; }
  QGroupBox* BackgroundGroup() const { return background_; }
  QGroupBox* TagsGroup() const { return tags_; }
  void SetVisible(bool visible);

 private:
  QWidget* title_row_;
  QLineEdit* title_;
  QGroupBox* background_;
  BackgroundImageBox* image_;
  ColorBox* colors_[5];
  QGroupBox* tags_;
  QPlainTextEdit* top_;
  QPlainTextEdit* bottom_;
};

}  // namespace quorvel::ui
