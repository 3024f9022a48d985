#pragma once

#include <QRect>
#include <QString>
#include <optional>

// One document of the list Options > Reopen Documents at Start-up keeps, as
// stored in the settings. Two forms are read:
//   "caret first-line path"                                   (older runs)
//   "state[,active] x,y,width,height caret first-line path"
// where state is normal, maximised or minimised: the window as the windowed
// view shows it, with its normal place and size in the area (what it comes
// back to from maximised or minimised); "active" marks the document whose
// window was active. The path is the rest of the line and may hold blanks.
// The older form starts with a number, the newer with a word.
struct SessionEntry {
    enum class State { Normal, Maximised, Minimised };

    int caret = 0;
    int firstLine = 0;
    QString path;
    // The window's part; an entry of the older form has none.
    bool hasWindow = false;
    State state = State::Normal;
    QRect normalGeometry;
    bool active = false;

    // nullopt for a blank or malformed entry.
    static std::optional<SessionEntry> parse(const QString &text);
    // The newer form when hasWindow, else the older one.
    QString toString() const;
};
