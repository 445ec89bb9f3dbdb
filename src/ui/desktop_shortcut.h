// The desktop launcher offered at first start: the question and the freedesktop
// Quorvelandiscope.desktop file on the user's desktop. An installed program puts a copy of its
// installed desktop entry there (which names the installed icon); a program run from its build
// folder writes an entry of its own and the icon it points to.
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

class QImage;
class QWidget;

namespace quorvel::persist {
class ConfigFile;
}

namespace quorvel::ui {

// The application id: the installed desktop entry's and icon's name.
inline constexpr char kApplicationId[] = "org.quorvelandiscope.quorvelandiscope";

struct ShortcutPlace {
  std::string desktop_directory;  // where Quorvelandiscope.desktop goes
  std::string icon_path;          // the PNG a launcher of its own names
  std::string program_path;       // absolute path of the program
  std::string installed_entry;    // the installed desktop entry to copy; empty when none
};

// <prefix>/share/applications/<application id>.desktop when `program_path` is
// <prefix>/bin/<name> and that entry exists (the program runs installed); else empty.
std::string InstalledDesktopEntry(const std::string& program_path);

// The two-line question.
QString FirstStartQuestion();

// `xdg-user-dir DESKTOP` when it answers with an absolute path, else $HOME/Desktop.
std::string DesktopDirectory();

// The desktop directory, $XDG_DATA_HOME (or ~/.local/share)/quorvelandiscope/ for the icon,
// QCoreApplication::applicationFilePath() and its installed desktop entry.
ShortcutPlace DefaultShortcutPlace();

// `path` as one argument of an Exec line, quoted and escaped when it needs to be.
std::string DesktopExecArgument(const std::string& path);

// The text of the launcher file.
std::string DesktopEntryText(const ShortcutPlace& place);

// The program's icon, drawn: 64 x 64; as PNG bytes for the launcher's icon file.
QImage DrawIcon();
std::string DrawIconPng();

// Writes the launcher (executable, replacing an existing one, atomically): a copy of the
// installed entry, marked trusted where the desktop keeps such a mark, or an entry of its own
// with its icon. Returns an empty string or the failure's message.
std::string CreateDesktopShortcut(const ShortcutPlace& place);

enum class FirstStartOutcome { NotAsked, AnsweredNo, ShortcutCreated, ShortcutFailed };

using Asker = std::function<bool(QWidget* parent, const QString& question)>;
using ErrorShower = std::function<void(QWidget* parent, const QString& message)>;

// Throws Error("Unable to write to %s") when "icon" cannot be written.
FirstStartOutcome RunFirstStartQuestion(persist::ConfigFile& config, QWidget* parent,
                                        const Asker& ask = {}, const ErrorShower& show = {},
                                        const ShortcutPlace* place = nullptr);

}  // namespace quorvel::ui
