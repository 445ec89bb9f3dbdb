// The first-start launcher. A .desktop file takes the place of a shell link on a Linux
// desktop; an entry of its own quotes its Exec value by the desktop-entry rules so that a
// program path with spaces, quotes or "%" still starts the program.
#include "ui/desktop_shortcut.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>

#include "job/error.h"
#include "persist/config_file.h"
#include "platform/file_system.h"

namespace quorvel::ui {
namespace {

namespace keys = persist::config_keys;

std::string EnvOr(const char* name, const std::string& fallback) {
  const QByteArray value = qgetenv(name);
  return value.startsWith('/') ? value.toStdString() : fallback;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
}

// Escapes of a desktop-entry string value.
std::string EscapeValue(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// Desktops start a launcher on the desktop only when it is executable; GNOME's desktop also
// wants it marked trusted, which only its file-attribute tool can do. Without that tool (or
// without such a desktop) the mark is simply not set.
// Empty, or why the launcher could not be made runnable.
std::string MarkLauncherRunnable(const std::string& launcher) {
  QFile file(QString::fromStdString(launcher));
  if (!file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser |
                           QFileDevice::ExeGroup | QFileDevice::ExeOther)) {
    return file.errorString().toStdString();
  }
  const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
  if (!gio.isEmpty()) {
    QProcess::execute(gio, {QStringLiteral("set"), file.fileName(),
                            QStringLiteral("metadata::trusted"), QStringLiteral("true")});
  }
  return {};
}

}  // namespace

std::string InstalledDesktopEntry(const std::string& program_path) {
  const std::string bin = DirectoryOf(program_path);
  const std::size_t slash = bin.find_last_of('/');
  if (slash == std::string::npos || bin.substr(slash + 1) != "bin") return {};
  const std::string entry =
      bin.substr(0, slash) + "/share/applications/" + kApplicationId + ".desktop";
  return platform::RegularFileExists(entry) ? entry : std::string();
}

QString FirstStartQuestion() {
  return QStringLiteral(
      "This is first time You start Quorvelandiscope.\n"
      "Would You like to put Quorvelandiscope's icon on Your desktop?");
}

std::string DesktopDirectory() {
  const std::string home = platform::HomeDirectory();
  QProcess process;
  process.start(QStringLiteral("xdg-user-dir"), {QStringLiteral("DESKTOP")});
  if (process.waitForFinished(5000) && process.exitStatus() == QProcess::NormalExit &&
      process.exitCode() == 0) {
    const std::string answer = process.readAllStandardOutput().trimmed().toStdString();
    if (!answer.empty() && answer.front() == '/') return answer;
  }
  return home + "/Desktop";
}

ShortcutPlace DefaultShortcutPlace() {
  ShortcutPlace place;
  place.desktop_directory = DesktopDirectory();
  const std::string data = EnvOr("XDG_DATA_HOME", platform::HomeDirectory() + "/.local/share");
  place.icon_path = data + "/quorvelandiscope/quorvelandiscope.png";
  place.program_path = QCoreApplication::applicationFilePath().toStdString();
  place.installed_entry = InstalledDesktopEntry(place.program_path);
  return place;
}

std::string DesktopExecArgument(const std::string& path) {
  bool quote = path.empty();
  std::string inner;
  for (const char c : path) {
    if (std::string_view(" \t\n\"'\\><~|&;$*?#()`").find(c) != std::string_view::npos) {
      quote = true;
    }
    if (c == '"' || c == '`' || c == '$' || c == '\\') inner += '\\';
    inner += c;
    if (c == '%') inner += '%';  // "%" starts a field code
  }
  return quote ? "\"" + inner + "\"" : inner;
}

std::string DesktopEntryText(const ShortcutPlace& place) {
  std::string text = "[Desktop Entry]\n";
  text += "Version=1.0\n";
  text += "Type=Application\n";
  text += "Name=Quorvelandiscope\n";
  text += "Comment=Web picture galleries from folders of photographs\n";
  text += "Exec=" + EscapeValue(DesktopExecArgument(place.program_path)) + "\n";
  text += "Path=" + EscapeValue(DirectoryOf(place.program_path)) + "\n";
  text += "Icon=" + EscapeValue(place.icon_path) + "\n";
  text += "Terminal=false\n";
  text += "Categories=Graphics;Photography;\n";
  return text;
}

QImage DrawIcon() {
  QImage image(64, 64, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient back(0, 0, 0, 64);
  back.setColorAt(0, QColor(40, 60, 130));
  back.setColorAt(1, QColor(20, 30, 80));
  p.setPen(Qt::NoPen);
  p.setBrush(back);
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
  // Four small pictures in a grid: a gallery page.
  const QColor hues[] = {QColor(250, 200, 90), QColor(120, 200, 250), QColor(150, 220, 130),
                         QColor(240, 130, 120)};
  for (int i = 0; i < 4; ++i) {
    const QRectF cell(10 + (i % 2) * 24, 10 + (i / 2) * 24, 20, 20);
    p.setBrush(Qt::white);
    p.drawRect(cell);
    p.setBrush(hues[i]);
    p.drawRect(cell.adjusted(2, 2, -2, -2));
  }
  p.end();
  return image;
}

std::string DrawIconPng() {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  DrawIcon().save(&buffer, "PNG");
  return bytes.toStdString();
}

std::string CreateDesktopShortcut(const ShortcutPlace& place) {
  const std::string launcher = place.desktop_directory + "/Quorvelandiscope.desktop";
  if (const int error = platform::CreateDirectories(place.desktop_directory); error != 0) {
    return FileErrorMessage("Cannot create file %s", launcher, error);
  }
  std::string text;
  if (!place.installed_entry.empty()) {
    if (const int error = platform::ReadWholeFile(place.installed_entry, text); error != 0) {
      return FileErrorMessage("Cannot open file %s", place.installed_entry, error);
    }
  } else {
    int error = platform::CreateDirectories(DirectoryOf(place.icon_path));
    if (error == 0) error = platform::WriteFileAtomically(place.icon_path, DrawIconPng());
    if (error != 0) return FileErrorMessage("Cannot create file %s", place.icon_path, error);
    text = DesktopEntryText(place);
  }
  if (const int error = platform::WriteFileAtomically(launcher, text); error != 0) {
    return FileErrorMessage("Cannot create file %s", launcher, error);
  }
  if (const std::string why = MarkLauncherRunnable(launcher); !why.empty()) {
    return FormatMessage("Cannot create file %s", launcher) + " (" + why + ")";
  }
  return {};
}

FirstStartOutcome RunFirstStartQuestion(persist::ConfigFile& config, QWidget* parent,
                                        const Asker& ask, const ErrorShower& show,
                                        const ShortcutPlace* place) {
  if (config.ReadBool(keys::kWindow, keys::kIcon, false)) return FirstStartOutcome::NotAsked;
  const bool yes =
      ask ? ask(parent, FirstStartQuestion())
          : QMessageBox::question(parent, QStringLiteral("Confirm"), FirstStartQuestion(),
                                  QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  FirstStartOutcome outcome = FirstStartOutcome::AnsweredNo;
  if (yes) {
    const std::string error = CreateDesktopShortcut(place ? *place : DefaultShortcutPlace());
    if (!error.empty()) {
      const QString message = QString::fromStdString(error);
      if (show) {
        show(parent, message);
      } else {
        QMessageBox::critical(parent, QStringLiteral("Error"), message);
      }
      return FirstStartOutcome::ShortcutFailed;
    }
    outcome = FirstStartOutcome::ShortcutCreated;
  }
  config.WriteBool(keys::kWindow, keys::kIcon, true);
  return outcome;
}

}  // namespace quorvel::ui
