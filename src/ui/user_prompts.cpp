#include "ui/user_prompts.h"

#include <QFileDialog>
#include <QMessageBox>

#include "ui/progress_window.h"
#include "ui/run_summary_window.h"

namespace quorvel::ui {
namespace {

// Qt's dialog adds no extension by itself when the user types a bare name.
std::string WithStateExtension(const QString& chosen) {
  std::string path = chosen.toStdString();
  const auto slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.find('.') == std::string::npos) path += ".qvl";
  return path;
}

std::optional<std::string> SaveStateFileName(QWidget* parent, const FileDialogRequest& request) {
  QFileDialog dialog(parent, request.title, request.directory, StateFileFilter());
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix("qvl");
  dialog.setFileMode(QFileDialog::AnyFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return WithStateExtension(dialog.selectedFiles().front());
}

std::optional<std::string> OpenStateFileName(QWidget* parent, const FileDialogRequest& request) {
  QFileDialog dialog(parent, request.title, request.directory, StateFileFilter());
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setDefaultSuffix("qvl");
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

}  // namespace

QString StateFileFilter() { return "Quorvelandiscope (*.qvl);;All Files (*)"; }

UserPrompts UserPrompts::Standard() {
  UserPrompts prompts;
  prompts.ask = [](QWidget* parent, const QString& question) {
    return QMessageBox::question(parent, "Confirm", question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
  };
  prompts.show_error = [](QWidget* parent, const QString& message) {
    QMessageBox::critical(parent, "Error", message);
  };
  prompts.inform = [](QWidget* parent, const QString& message) {
    QMessageBox::information(parent, "Quorvelandiscope", message);
  };
  prompts.save_file = SaveStateFileName;
  prompts.open_file = OpenStateFileName;
  prompts.run_progress = [](ProgressWindow& window) { return window.exec(); };
  prompts.show_summary = [](RunSummaryWindow& window) { window.exec(); };
  return prompts;
}

}  // namespace quorvel::ui
