#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// Names one open document, not just its slot: a slot is reused by the next
// document opened after it closes, and a tool opened for the first must not
// put its text into the second.
struct DocumentRef {
    int slot = 0;
    quint64 serial = 0; // given to each document as it takes its slot
};

// What a command may do with the document window it acts on. Document
// windows implement it; features other than the documents know no more of
// them than this.
class DocumentTarget
{
public:
    virtual ~DocumentTarget() = default;

    // The document's slot number, also as the decimal text of Tag.
    virtual int slot() const = 0;
    virtual QString Tag() const = 0;
    virtual DocumentRef ref() const = 0;
    virtual QString SelText() const = 0;
    // Puts text in place of the selection, or at the caret when nothing is
    // selected; the caret ends after it and the document counts as changed.
    // Every line break (LF, CR, CR LF) goes in as CR LF.
    virtual void InsertFragment(const QString &text) = 0;
    // True while the text shows a file with its longest lines cut short:
    // nothing may change it then.
    virtual bool isReadOnly() const = 0;
    // True while the text has changes not saved to its file.
    virtual bool isChanged() const = 0;
    // The whole text, line breaks as CR LF; replacing it counts as a change.
    virtual QString Text() const = 0;
    virtual void SetText(const QString &text) = 0;
    // The document's title (what the caption shows) and its file ("" for none).
    virtual QString Title() const = 0;
    virtual void SetTitle(const QString &title) = 0;
    virtual QString FilePath() const = 0;
    // The tag names Tools > Execute visits, in order.
    virtual const QStringList &templateTags() const = 0;
    // Ends the current undo step: what changed since the last one is one step.
    virtual void undoStep() = 0;
    // A notice above the text with a button that runs action and hides the
    // notice; it changes nothing by itself.
    virtual void offerNotice(const QString &text, const QString &button, std::function<void()> action) = 0;
    // Selects length characters at a column (UTF-16 units) of a line (from
    // 1) and shows them.
    virtual void selectAt(int line, qsizetype column, qsizetype length) = 0;
    // The window, for dialogs that belong to it.
    virtual QWidget *widget() = 0;
};
