// An output directory field: an edit with a "..." button. Enter and leaving the edit both
// normalise the text (trailing separator, creation of a missing directory) through the
// normaliser the owner provides, once per edit: a text already normalised is not asked about
// again. Leaving the edit normalises only once the focus has come to rest on something that
// is not for typing, so that a question box never swallows what is typed into the next field;
// leaving the window (for another application, a menu or a dialog) is not leaving the edit.
#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QToolButton;

namespace quorvel::ui {

class DirectoryEdit : public QWidget {
  Q_OBJECT
 public:
  using Normalizer = std::function<QString(const QString& text)>;

  // `editName` is the object name of the edit itself (the name help ids refer to);
  // `fieldName` is what screen readers call the edit, `browseName` what they call the "..."
  // button, saying what it does.
  DirectoryEdit(const QString& editName, const QString& fieldName, const QString& browseName,
                QWidget* parent = nullptr);

  void SetNormalizer(Normalizer normalizer) { normalizer_ = std::move(normalizer); }
  QString Text() const;
  void SetText(const QString& text);
  // Normalises the current text unless it is the text last normalised.
  void Normalize();
  // Whether the edit was left after a change that is not normalised yet.
  bool HasPendingEdit() const { return pending_; }
  // Ties `label` to the edit.
  void SetLabel(QLabel* label);

 signals:
  void browseRequested();

 private:
  void OnFocusChanged(QWidget* old, QWidget* now);

  QLineEdit* edit_;
  QToolButton* browse_;
  Normalizer normalizer_;
  QString normalized_;
  bool normalizing_ = false;
  bool pending_ = false;
};

}  // namespace quorvel::ui
