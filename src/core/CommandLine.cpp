#include "core/CommandLine.h"

namespace CommandLine {

QStringList split(const QString &command)
{
    QStringList words;
    QString word;
    bool inWord = false;
    for (qsizetype i = 0; i < command.size(); ++i) {
        const QChar c = command.at(i);
        if (c == u'\'') {
            inWord = true;
            const qsizetype end = command.indexOf(u'\'', i + 1);
            const qsizetype stop = end < 0 ? command.size() : end;
            word += QStringView(command).mid(i + 1, stop - i - 1);
            i = stop;
        } else if (c == u'"') {
            inWord = true;
            for (++i; i < command.size() && command.at(i) != u'"'; ++i) {
                if (command.at(i) == u'\\' && i + 1 < command.size()
                    && QStringView(u"\"\\$`").contains(command.at(i + 1)))
                    ++i;
                word += command.at(i);
            }
        } else if (c == u'\\') {
            inWord = true;
            if (i + 1 < command.size())
                word += command.at(++i);
        } else if (c.isSpace()) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            word += c;
        }
    }
    if (inWord)
        words << word;
    return words;
}

} // namespace CommandLine
