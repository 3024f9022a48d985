#pragma once

#include <QStringList>

struct AppContext;
class mdiMain;

namespace Startup {

// Application-wide settings made before any window exists: the organisation
// name and, when the desktop names none, an icon theme for the toolbar.
void prepareApplication();

// The command line after the program name; Qt has taken its own options out.
QStringList arguments(int argc, char *argv[]);

// Loads the settings, creates the main frame, opens the file named on the
// command line (all arguments joined with single blanks: the shell has split
// one path; when that names no file and every argument is a file, each opens)
// and shows the frame.
mdiMain *run(AppContext &ctx, const QStringList &arguments);

} // namespace Startup
