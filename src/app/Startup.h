#pragma once

#include <QStringList>

struct AppContext;
class mdiMain;

namespace Startup {

// Loads the settings, creates the main frame, opens the file named on the
// command line (all arguments joined with single blanks: the shell has split
// one path) and shows the frame.
mdiMain *run(AppContext &ctx, const QStringList &arguments);

} // namespace Startup
