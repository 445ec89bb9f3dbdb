// The desktop launcher offered at first start: the question, the freedesktop
// Quorvelandiscope.desktop file on the user's desktop and the icon it points to.
//
// API:
//   RunFirstStartQuestion(config, parent)  // in the main window's start-up, after the lock
//       and the default state are read: asks once ("WINDOW" / "icon" false or missing),
//       writes the launcher on Yes, then writes "icon" = 1 - unless the launcher failed, in
//       which case the message is shown and the question comes again next start.
//   The asker, the error shower and the place of the files are injectable for tests.
#pragma once

#include <QString>
#include <functional>
#include <string>

class QWidget;

namespace quorvel::persist {
class ConfigFile;
}

namespace quorvel::ui {

struct ShortcutPlace {
  std::string desktop_directory;  // where Quorvelandiscope.desktop goes
  std::string icon_path;          // the PNG the launcher names
  std::string program_path;       // absolute path of the program
};

// The two-line question.
QString FirstStartQuestion();

// `xdg-user-dir DESKTOP` when it answers with an absolute path, else $HOME/Desktop.
std::string DesktopDirectory();

// The desktop directory, $XDG_DATA_HOME (or ~/.local/share)/quorvelandiscope/ for the icon and
// QCoreApplication::applicationFilePath().
ShortcutPlace DefaultShortcutPlace();

// `path` as one argument of an Exec line, quoted and escaped when it needs to be.
std::string DesktopExecArgument(const std::string& path);

// The text of the launcher file.
std::string DesktopEntryText(const ShortcutPlace& place);

// The program's icon, drawn: 64 x 64 PNG bytes.
std::string DrawIconPng();

// Writes the icon and the launcher (executable, replacing an existing one, both atomically);
// returns an empty string or the failure's message.
std::string CreateDesktopShortcut(const ShortcutPlace& place);

enum class FirstStartOutcome { NotAsked, AnsweredNo, ShortcutCreated, ShortcutFailed };

using Asker = std::function<bool(QWidget* parent, const QString& question)>;
using ErrorShower = std::function<void(QWidget* parent, const QString& message)>;

// Throws Error("Unable to write to %s") when "icon" cannot be written.
FirstStartOutcome RunFirstStartQuestion(persist::ConfigFile& config, QWidget* parent,
                                        const Asker& ask = {}, const ErrorShower& show = {},
                                        const ShortcutPlace* place = nullptr);

}  // namespace quorvel::ui
