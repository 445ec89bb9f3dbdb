// quorvelandiscope: the desktop application.
//   quorvelandiscope [--help] [--version] [FOLDER...]
#include <QApplication>
#include <QCommandLineParser>

#include "ui/command_line.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  QCommandLineParser parser;
  // Help and the version are answered without a display; Qt's own options are still listed.
  if (quorvel::ui::AsksForHelpOrVersion(arguments)) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  quorvel::ui::NameApplication();
  quorvel::ui::DescribeCommandLine(parser);
  parser.process(app);  // help and the version print and exit here
  quorvel::ui::MainWindow window;
  window.AddGivenPaths(parser.positionalArguments());
  window.show();
  return QApplication::exec();
}
