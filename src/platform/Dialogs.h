#pragma once

#include <QString>

class QFont;

// Every place where the program waits for a person goes through here, so
// that tests can answer in a script and read back what was asked.
class Dialogs
{
public:
    // OverwriteCancel answers Yes for Overwrite.
    enum class Buttons { Ok, YesNo, YesNoCancel, AbortRetryIgnore, OverwriteCancel };
    enum class Icon { None, Information, Warning, Critical, Question };
    enum class Answer { Ok, Cancel, Abort, Retry, Ignore, Yes, No };

    virtual ~Dialogs() = default;

    // text may hold CR LF line breaks.
    virtual Answer message(const QString &text, Buttons buttons, Icon icon, const QString &caption) = 0;
    // The entered text; "" when cancelled.
    virtual QString inputBox(const QString &prompt, const QString &title, const QString &defaultText) = 0;
    // filter is in Qt's "Name (*.a *.b);;..." form. "" when cancelled.
    virtual QString openFileName(const QString &filter, const QString &initial) = 0;
    // Asks before an existing file is overwritten. "" when cancelled.
    virtual QString saveFileName(const QString &filter, const QString &initial) = 0;
    virtual void beep() = 0;
    // Offers font for a change; false when cancelled (font stays as it was).
    virtual bool chooseFont(QFont &font) = 0;
};
