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

// Acts on one element; true when the text changed.
bool HandleTemplateTag(QString &text, const QString &openTag, const QString &content, Host &host)
{
    const QString name = GetTagName(openTag);
    if (name == QLatin1String("QRLTITLE")) {
        host.setTitle(content);
    } else if (name == QLatin1String("QRLMESSAGE")) {
        host.message(host.title() + QStringLiteral(": ") + kBreak + content);
    } else if (name == QLatin1String("QRLLINK")) {
        const QString why = host.whyNotFile(content);
        if (why.isEmpty())
            host.open(content);
        else
            host.message(QStringLiteral("Link File: ") + content + kBreak + why);
    } else if (name == QLatin1String("QRLPROMPT")) {
        return PromptTemplateField(text, content, host);
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
    for (const QString &name : tags) {
        const QString open = QLatin1Char('<') + name + QLatin1Char('>');
        const QString close = QStringLiteral("</") + name + QLatin1Char('>');
        qsizetype from = 0;
        // No close tag from here on, as long as the text stays as it is: many
        // unclosed open tags must not make the pass quadratic.
        qsizetype noCloseFrom = -1;
        for (;;) {
            const qsizetype at = text.indexOf(open, from);
            if (at < 0)
                break;
            const qsizetype end = noCloseFrom >= 0 && at >= noCloseFrom ? -1 : text.indexOf(close, at);
            if (end < 0) {
                noCloseFrom = noCloseFrom >= 0 ? qMin(noCloseFrom, at) : at;
            } else {
                const qsizetype contentStart = at + open.size();
                const QString content = text.mid(contentStart, end - contentStart);
                if (HandleTemplateTag(text, text.mid(at, open.size()), content, host))
                    noCloseFrom = -1;
            }
            // The next search starts one character after the element's start,
            // in the text as it now reads.
            from = at + 1;
        }
    }
}

} // namespace TemplatePass
