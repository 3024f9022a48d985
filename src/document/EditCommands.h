#pragma once

#include <QString>

class RichTextBox;

// The editing and selection commands. Each changes the text only through
// the selection, so every change is an ordinary text change.
namespace EditCommands {

void cut(RichTextBox &box);
void copy(RichTextBox &box);
void deleteSelection(RichTextBox &box);
void selectAll(RichTextBox &box);
void upperCase(RichTextBox &box);
void lowerCase(RichTextBox &box);
void firstLetters(RichTextBox &box);
void clearSelection(RichTextBox &box);

// First letter of every word upper case, the rest lower case; words are
// separated by white space. Locale rules apply to accented letters.
QString properCase(const QString &text);

bool clipboardHasText();

} // namespace EditCommands
