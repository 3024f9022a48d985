#pragma once

#include "platform/Printer.h"

#include <QFont>
#include <QString>

class QsciLexer;
class QObject;
class RichTextBox;

// The code view of a text control: the box's code font (the system's
// fixed-width font unless one was chosen), line
// numbers, brace matching, auto-indent, a tab width of 4 and syntax colours
// chosen by the file's name or type, in the desktop palette's colours. Off,
// the control looks as documents always have.
namespace CodeView {

// Above this size a file is shown without colours: colouring it would make
// opening and scrolling slow and double its memory.
constexpr qint64 kHighlightLimit = 10 * 1024 * 1024;
// Above this size text is not wrapped: Scintilla wraps every line above the
// caret when it moves down (Ctrl+End, a find, Go To), on the window's thread,
// which took 1.4 s for 4 MB of short lines.
constexpr qint64 kWrapLimit = 256 * 1024;
// Text without colours that has a line longer than this (and is within
// kHighlightLimit) is laid out in pieces, which look the same (see apply).
constexpr qint64 kPiecesFrom = 4096;

// The name of the language the file's lexer colours ("HTML", "C++"...), or
// "" for none. A name with no known extension is looked up by its contents
// (a script's #! line, say) when the file exists.
QString languageFor(const QString &filePath);
// A new lexer for the file, or nullptr.
QsciLexer *lexerFor(const QString &filePath, QObject *parent);

// The code view's font: the system's fixed-width font, or the family and
// size chosen in Options > Font ("" and 0: not chosen).
QFont font(const QString &family, int pointSize);

// Sets the control up for the file (path may be empty) with the code view
// on or off and lines wrapped at words or not. Returns a note for the status
// bar: why the file has no colours or is not wrapped, or "".
// size is the text's when it is about to be loaded; -1 for the text shown.
// Text without colours whose lines are long gets a lexer that only splits
// them into pieces, so that a key typed in a long line costs little.
QString apply(RichTextBox &box, bool on, bool wrap, const QString &filePath, qint64 size = -1);

// The whole text or the selection as the control shows it, for paper: in
// the code view its fixed-width font and its colours, as they are on a
// light background (paper is white, whatever the desktop's colours).
PrintedText printed(RichTextBox &box, bool selection);

} // namespace CodeView
