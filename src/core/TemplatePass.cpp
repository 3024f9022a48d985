#include "core/TemplatePass.h"

#include <QSet>

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

namespace {

const QString kPromptOpen = QStringLiteral("<QRLPROMPT>");
const QString kPromptClose = QStringLiteral("</QRLPROMPT>");

// Calls visit(start, contentStart, end) for each QRLPROMPT element, as the
// pass finds them; visit returns where the next search starts. The close
// tag found is kept while the search stays before it: linear when nested.
template <typename Visit>
void forEachField(const QString &text, Visit visit)
{
    qsizetype end = -2;
    for (qsizetype from = 0;;) {
        const qsizetype at = text.indexOf(kPromptOpen, from);
        if (at < 0)
            return;
        if (end == -2 || end < at)
            end = text.indexOf(kPromptClose, at);
        if (end < 0)
            return;
        from = visit(at, at + kPromptOpen.size(), end);
        if (from < 0)
            return;
    }
}

} // namespace

QStringList promptLabels(const QString &text)
{
    QStringList labels;
    QSet<QString> seen;
    forEachField(text, [&](qsizetype at, qsizetype contentStart, qsizetype end) {
        const QString label = text.mid(contentStart, end - contentStart);
        if (!seen.contains(label)) {
            seen.insert(label);
            labels << label;
        }
        return at + 1;
    });
    return labels;
}

QString fillFields(const QString &text, const QHash<QString, QString> &answers, qsizetype maxLines)
{
    QString out;
    qsizetype copied = 0, lines = 0;
    bool enough = false;
    const auto append = [&](QStringView part) {
        out.append(part);
        lines += part.count(u'\n');
    };
    forEachField(text, [&](qsizetype at, qsizetype contentStart, qsizetype end) -> qsizetype {
        const QString answer = answers.value(text.mid(contentStart, end - contentStart));
        if (answer.isEmpty())
            return at + 1;
        append(QStringView(text).mid(copied, at - copied));
        append(answer);
        copied = end + kPromptClose.size();
        enough = maxLines >= 0 && lines >= maxLines;
        return enough ? -1 : copied;
    });
    QStringView rest = QStringView(text).mid(copied);
    if (maxLines >= 0) {
        for (qsizetype n = lines, at = -1; !enough && n < maxLines; ++n) {
            if ((at = rest.indexOf(u'\n', at + 1)) < 0)
                break;
            if (n + 1 == maxLines)
                rest = rest.left(at + 1);
        }
        if (!enough)
            out.append(rest);
        qsizetype cut = -1;
        for (qsizetype n = 0; n < maxLines && (cut = out.indexOf(u'\n', cut + 1)) >= 0; ++n) {
        }
        if (cut >= 0)
            out.truncate(cut + 1);
    } else {
        out.append(rest);
    }
    return out;
}

} // namespace TemplatePass
