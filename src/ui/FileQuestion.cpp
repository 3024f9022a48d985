#include "ui/FileQuestion.h"

#include "platform/Dialogs.h"
#include "ui/AppContext.h"

namespace FileQuestion {

const QString kWhatNow = QStringLiteral("Would would you like to do");

bool untilDone(Dialogs &dialogs, const Lines &lines, const std::function<FileIO::Failure()> &step)
{
    for (;;) {
        const FileIO::Failure failure = step();
        if (!failure)
            return true;
        const QString first = lines.numbered ? QString::number(failure.code) + QStringLiteral("> ") + lines.first
                                             : lines.first;
        const QString question = first + QStringLiteral("\r\n") + failure.description + QStringLiteral("\r\n") + lines.last;
        Dialogs::Answer answer;
        do {
            answer = dialogs.message(question, Dialogs::Buttons::AbortRetryIgnore, Dialogs::Icon::None,
                                     AppContext::appTitle());
        } while (answer == Dialogs::Answer::Ignore && lines.ignoreAsksAgain);
        if (answer != Dialogs::Answer::Retry)
            return false;
    }
}

} // namespace FileQuestion
