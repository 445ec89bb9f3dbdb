// What the main window asks of the user through standard dialogs, as replaceable functions so
// that tests can answer without a blocking window.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace quorvel::ui {

class ProgressWindow;
class RunSummaryWindow;

struct FileDialogRequest {
  QString title;
  QString directory;
};

struct UserPrompts {
  // A Yes/No question; true is Yes.
  std::function<bool(QWidget* parent, const QString& question)> ask;
  // An error message box with `message` as its text.
  std::function<void(QWidget* parent, const QString& message)> show_error;
  // A message box that only informs.
  std::function<void(QWidget* parent, const QString& message)> inform;
  // The state-file dialogs; nullopt when the user cancels.
  std::function<std::optional<std::string>(QWidget* parent, const FileDialogRequest&)> save_file;
  std::function<std::optional<std::string>(QWidget* parent, const FileDialogRequest&)> open_file;
  // Shows the progress window modally until the run ends; returns its result.
  std::function<int(ProgressWindow& window)> run_progress;
  // Shows the summary after a run until the user closes it.
  std::function<void(RunSummaryWindow& window)> show_summary;

  // Message boxes and Qt's file dialogs.
  static UserPrompts Standard();
};

// The filter of both state-file dialogs.
QString StateFileFilter();

}  // namespace quorvel::ui
