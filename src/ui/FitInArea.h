#pragma once

class QMdiSubWindow;

// Keeps a new document window inside the visible part of its area (a large
// screen scale can make the area smaller than the window wants to be): a
// window that would reach past it goes to its step of a cascade from the
// area's top-left and is shrunk to fit from there. A window added while the
// area is hidden is fitted once the area has been shown and has placed it.
void FitInArea(QMdiSubWindow *sub);

// Shrinks a window that reaches past the area so that it ends inside it,
// keeping its place (after Cascade, which keeps the windows' sizes).
void ShrinkIntoArea(QMdiSubWindow *sub);
