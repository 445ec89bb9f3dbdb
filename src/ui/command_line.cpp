#include "ui/command_line.h"

#include <QCommandLineParser>
#include <QGuiApplication>

#include "ui/desktop_shortcut.h"

namespace quorvel::ui {

void NameApplication() {
  QCoreApplication::setApplicationName(QStringLiteral("Quorvelandiscope"));
  QCoreApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION));
  QGuiApplication::setDesktopFileName(QString::fromLatin1(kApplicationId));
}

void DescribeCommandLine(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      QStringLiteral("Makes static web picture galleries from folders of JPEG photos.\n"
                     "Opens its window with the given folders in the directory list."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(
      QStringLiteral("FOLDER"),
      QStringLiteral("A folder to put in the directory list; a file stands for its folder."),
      QStringLiteral("[FOLDER...]"));
}

bool AsksForHelpOrVersion(const QStringList& arguments) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == QLatin1String("--")) return false;  // folders follow
    for (const char* option : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
      if (argument == QLatin1String(option)) return true;
    }
  }
  return false;
}

}  // namespace quorvel::ui
