#include "core/TemplatePass.h"

namespace TemplatePass {

const QStringList kTags = {QStringLiteral("QRLTITLE"), QStringLiteral("QRLPROMPT"), QStringLiteral("QRLMESSAGE"),
                           QStringLiteral("QRLLINK"), QStringLiteral("QRLIMAGE")};

namespace {

const QString kBreak = QStringLiteral("\r\n");

// Asks for one group's value; replaces every field of the group in the
// whole text. False when the answer was empty (nothing changes).
bool PromptTemplateField(QString &text, const QString &label, Host &host)
{
    const QString prompt = QStringLiteral("You've been requested to provide information for any field(s) with quote {")
                           + label + QStringLiteral("}") + kBreak
                           + QStringLiteral(" Please enter a data to replace all fields with");
    const QString answer = host.inputBox(prompt, QStringLiteral("Fields ") + label, label);
    if (answer.isEmpty())
        return false;
    const QString field = QStringLiteral("<QRLPROMPT>") + label + QStringLiteral("</QRLPROMPT>");
    // One left-to-right pass: an answer that holds the field is not searched again.
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    for (qsizetype at; (at = text.indexOf(field, from)) >= 0; from = at + field.size())
        out.append(QStringView(text).mid(from, at - from)).append(answer);
    out.append(QStringView(text).mid(from));
    text = std::move(out);
    // The document shows the answer before the next box opens.
    host.setText(text);
    return true;
}

// Acts on one element (not a title: the pass sets it once); true when the
// text changed. content is a view into text: copied before text changes.
bool HandleTemplateTag(QString &text, const QString &name, QStringView content, Host &host)
{
    if (name == QLatin1String("QRLMESSAGE")) {
        host.message(host.title() + QStringLiteral(": ") + kBreak + content.toString());
    } else if (name == QLatin1String("QRLLINK")) {
        const QString path = content.toString();
        const QString why = host.whyNotFile(path);
        if (why.isEmpty())
            host.open(path);
        else
            host.message(QStringLiteral("Link File: ") + path + kBreak + why);
    } else if (name == QLatin1String("QRLPROMPT")) {
        return PromptTemplateField(text, content.toString(), host);
    }
    return false;
}

} // namespace

QString GetTagName(const QString &openTag)
{
    const qsizetype lt = openTag.indexOf(u'<');
    if (lt < 0)
        return QString();
    const qsizetype gt = openTag.indexOf(u'>', lt);
    return gt < 0 ? openTag.mid(lt + 1) : openTag.mid(lt + 1, gt - lt - 1);
}

void ExecuteTemplateTags(QString text, Host &host, const QStringList &tags)
{
    for (const QString &tag : tags) {
        const QString open = QLatin1Char('<') + tag + QLatin1Char('>');
        const QString close = QStringLiteral("</") + tag + QLatin1Char('>');
        const QString name = GetTagName(open);
        // Each title replaces the one before and nothing reads it during its
        // pass: only the last is set, and no content is copied before then.
        const bool title = name == QLatin1String("QRLTITLE");
        qsizetype titleStart = -1, titleEnd = -1;
        // The first close tag at or after the element being looked at, kept
        // while the text stays as it is (-1: none; -2: not searched). Nested
        // elements all end at the same close tag: searching for it again from
        // each one would make the pass quadratic.
        qsizetype end = -2;
        for (qsizetype from = 0;;) {
            const qsizetype at = text.indexOf(open, from);
            if (at < 0)
                break;
            if (end == -2 || (end >= 0 && end < at))
                end = text.indexOf(close, at);
            if (end >= 0) {
                const qsizetype contentStart = at + open.size();
                if (title) {
                    titleStart = contentStart;
                    titleEnd = end;
                } else if (HandleTemplateTag(text, name, QStringView(text).mid(contentStart, end - contentStart), host)) {
                    end = -2;
                }
            }
            // The next search starts one character after the element's start,
            // in the text as it now reads.
            from = at + 1;
        }
        if (titleStart >= 0)
            host.setTitle(text.mid(titleStart, titleEnd - titleStart));
    }
}

} // namespace TemplatePass
