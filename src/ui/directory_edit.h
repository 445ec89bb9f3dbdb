// An output directory field: an edit with a "..." button. Enter and leaving the edit both
// normalise the text (trailing separator, creation of a missing directory) through the
// normaliser the owner provides.
#pragma once

#include <QWidget>
#include <functional>

class QLineEdit;
class QToolButton;

namespace quorvel::ui {

class DirectoryEdit : public QWidget {
  Q_OBJECT
 public:
  using Normalizer = std::function<QString(const QString& text)>;

  // `editName` is the object name of the edit itself (the name help ids refer to).
  DirectoryEdit(const QString& editName, QWidget* parent = nullptr);

  void SetNormalizer(Normalizer normalizer) { normalizer_ = std::move(normalizer); }
  QString Text() const;
  void SetText(const QString& text);
  // Normalises the current text now.
  void Normalize();

  QLineEdit* Edit() const { return edit_; }
  QToolButton* BrowseButton() const { return browse_; }

 signals:
  void browseRequested();

 private:
  QLineEdit* edit_;
  QToolButton* browse_;
  Normalizer normalizer_;
  bool normalizing_ = false;
};

}  // namespace quorvel::ui
