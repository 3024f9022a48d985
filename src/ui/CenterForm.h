#pragma once

class QWidget;

// Puts a top-level window in the middle of its screen.
void CenterForm(QWidget *window);
