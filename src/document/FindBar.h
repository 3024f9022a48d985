#pragma once

#include "core/LongTask.h"
#include "core/TextSearch.h"

#include <QFrame>
#include <QTimer>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class RichTextBox;

// The find and replace bar at the foot of a document window. Typing in the
// find field selects the first match from where the search began, marks
// the matches on screen (and those that scroll into view) and counts them,
// up to countCap; the options rerun the search. In a text of backgroundFrom
// characters or more the search waits for a pause in typing and the count
// runs beside the window, given up at the next keystroke. Esc closes the bar and
// gives the text back the focus. Find Next and Previous work with the bar
// closed too, with what it last searched for.
class FindBar : public QFrame
{
    Q_OBJECT

public:
    explicit FindBar(RichTextBox &text, QWidget *parent = nullptr);

    // Opens the bar (with the replace row when replacing), filled with the
    // selection when it is part of one line.
    void open(bool replacing);
    void close();
    void findNext();
    void findPrevious();
    void replace();
    // Every match replaced in one change, which Undo takes back in one step.
    void replaceAll();
    // Ends the document's undo step; Replace All calls it before and after
    // its change.
    void setUndoStep(std::function<void()> step) { m_undoStep = std::move(step); }

    QLineEdit *txtFind = nullptr;
    QLineEdit *txtReplace = nullptr;
    QCheckBox *chkMatchCase = nullptr;
    QCheckBox *chkWholeWord = nullptr;
    QCheckBox *chkRegex = nullptr;
    QCheckBox *chkWrap = nullptr;
    QLabel *lblFindStatus = nullptr;
    qsizetype backgroundFrom = 1 << 20;
    qsizetype countCap = 100000;
    static constexpr int kPauseMs = 250;
    static constexpr qsizetype kMaxMarks = 10000; // on screen

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    TextSearch search() const;
    const QString &text();
    // Searches again as the find field or an option changed.
    void incremental();
    void searchNow();
    void startCount(const TextSearch &s);
    void markVisible();
    void showStatus(const TextSearch::Match &m);
    void forgetMatches();
    // Find Next (forward) or Previous from the selection.
    void step(bool forward);
    void present(const TextSearch::Match &m);
    bool reportInvalid(const TextSearch &s);
    // A read-only document is not replaced in; the bar says so.
    bool refuseReadOnly();

    RichTextBox &m_box;
    QWidget *m_replaceRow = nullptr;
    QString m_text;
    bool m_textValid = false;
    qsizetype m_origin = 0; // where the incremental search starts
    QList<TextSearch::Match> m_all; // counted so far, at most countCap
    bool m_counted = false;         // m_all is complete
    bool m_countMore = false;       // there are more than countCap
    qsizetype m_gaveUpLine = 0;     // where counting stopped
    TextSearch::Match m_shown;      // the match the status is about
    QPair<qsizetype, qsizetype> m_marked{-1, 0}; // the range marked
    QTimer m_pause;
    std::function<void()> m_undoStep;
    LongTask<QList<TextSearch::Match>> m_count{this};
};
