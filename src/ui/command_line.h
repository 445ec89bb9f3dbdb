// The window's command line: "quorvelandiscope [--help] [--version] [FOLDER...]" besides Qt's
// own options. The folders go into the directory list, so that file managers and the desktop
// entry can open folders with the program.
#pragma once

#include <QStringList>

class QCommandLineParser;

namespace quorvel::ui {

// Names the application (name, version, desktop entry) for Qt and the window system.
void NameApplication();

// Describes the options to `parser`: --help, --version and the FOLDER arguments.
void DescribeCommandLine(QCommandLineParser& parser);

// Whether `arguments` (the program's name first) ask for help or the version, which are
// answered without a window and without needing a display.
bool AsksForHelpOrVersion(const QStringList& arguments);

}  // namespace quorvel::ui
