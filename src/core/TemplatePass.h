#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The template pass over a document's text: the tag elements
// <NAME>content</NAME> are visited name by name, in the order given, each
// name from the start of the text to its end. The last QRLTITLE sets the
// document's title (once), QRLPROMPT asks once for each group of fields with the same label
// and replaces them all by the answer, QRLMESSAGE shows its content,
// QRLLINK opens the file its content names, QRLIMAGE does nothing.
//
// The pass works on the plain text: a tag typed as text stands there as it
// does in the rich-text form, and contents and answers reach the user and
// the text exactly as they are (no RTF escapes). Positions are characters of
// the text, of any size; each name's pass is linear in the text, however
// deeply its elements nest (between answers that change the text).
namespace TemplatePass {

// The tag names in processing order.
extern const QStringList kTags;

// What the pass asks of the program around it.
class Host
{
public:
    virtual ~Host() = default;
    virtual QString title() const = 0;
    virtual void setTitle(const QString &title) = 0;
    // The typed text; "" for Cancel or an empty box.
    virtual QString inputBox(const QString &prompt, const QString &title, const QString &defaultText) = 0;
    virtual void message(const QString &text) = 0;
    // "" when path names a file that can be opened; else why not: "Not
    // Found" when nothing is there, or what stands there instead.
    virtual QString whyNotFile(const QString &path) const = 0;
    virtual void open(const QString &path) = 0;
    // The text after an answer replaced its fields, before the next box.
    virtual void setText(const QString &text) = 0;
};

// The characters between the first "<" and the first ">" after it.
QString GetTagName(const QString &openTag);

// Runs the pass over text. Each answer's new text goes to the host at once.
// The tags are visited in the order of tags; names not among the five are
// found but do nothing.
void ExecuteTemplateTags(QString text, Host &host, const QStringList &tags = kTags);

// The labels of the text's QRLPROMPT fields, each once, in the order the
// pass would ask for them (the elements as the pass finds them).
QStringList promptLabels(const QString &text);

// The text with the fields of every label that has a non-empty answer
// replaced by it, as the pass replaces them (answers as given, not searched
// again); fields of other labels stay. With maxLines >= 0, only the first
// maxLines lines of the result (for a preview; the rest is not filled).
QString fillFields(const QString &text, const QHash<QString, QString> &answers, qsizetype maxLines = -1);

} // namespace TemplatePass
