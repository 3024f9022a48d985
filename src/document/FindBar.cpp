#include "document/FindBar.h"

#include "ui/NamedButton.h"
#include "ui/RichTextBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

namespace {

QCheckBox *option(QWidget *parent, const char *name, const QString &caption, bool checked = false)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    box->setChecked(checked);
    return box;
}

QString thousands(qsizetype n)
{
    return QLocale(QLocale::English).toString(n);
}

QString gaveUp(qsizetype line)
{
    return QStringLiteral("The expression is too complex for line %1; the search stopped").arg(line);
}

} // namespace

FindBar::FindBar(RichTextBox &text, QWidget *parent)
    : QFrame(parent), m_box(text)
{
    setObjectName(QStringLiteral("fraFind"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);

    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setPlaceholderText(QStringLiteral("Find"));
    txtFind->setClearButtonEnabled(true);
    txtReplace = new QLineEdit(this);
    txtReplace->setObjectName(QStringLiteral("txtReplace"));
    txtReplace->setPlaceholderText(QStringLiteral("Replace with"));
    // Access keys that no menu of the bar uses (F, E, S, T, V, O, H, R).
    auto *next = namedButton(this, "cmdFindNext", QStringLiteral("&Next"));
    auto *previous = namedButton(this, "cmdFindPrevious", QStringLiteral("&Previous"));
    auto *replaceOne = namedButton(this, "cmdReplace", QStringLiteral("Rep&lace"));
    auto *replaceEvery = namedButton(this, "cmdReplaceAll", QStringLiteral("Replace &All"));
    chkMatchCase = option(this, "chkMatchCase", QStringLiteral("&Match case"));
    chkWholeWord = option(this, "chkWholeWord", QStringLiteral("Whole wor&d"));
    chkRegex = option(this, "chkRegex", QStringLiteral("Regular e&xpression"));
    chkWrap = option(this, "chkWrap", QStringLiteral("&Wrap around"), true);
    lblFindStatus = new QLabel(this);
    lblFindStatus->setObjectName(QStringLiteral("lblFindStatus"));
    lblFindStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *closer = new QToolButton(this);
    closer->setObjectName(QStringLiteral("cmdFindClose"));
    closer->setAutoRaise(true);
    closer->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    closer->setToolTip(QStringLiteral("Close (Esc)"));

    // The fields get the width; the options and the count share a row.
    auto *findRow = new QHBoxLayout;
    findRow->addWidget(txtFind, 1);
    findRow->addWidget(previous);
    findRow->addWidget(next);
    findRow->addWidget(closer);
    m_replaceRow = new QWidget(this);
    auto *replaceRow = new QHBoxLayout(m_replaceRow);
    replaceRow->setContentsMargins(0, 0, 0, 0);
    replaceRow->addWidget(txtReplace, 1);
    replaceRow->addWidget(replaceOne);
    replaceRow->addWidget(replaceEvery);
    replaceRow->addSpacing(closer->sizeHint().width() + findRow->spacing());
    auto *optionRow = new QHBoxLayout;
    for (QCheckBox *box : {chkMatchCase, chkWholeWord, chkRegex, chkWrap})
        optionRow->addWidget(box);
    optionRow->addSpacing(12);
    optionRow->addWidget(lblFindStatus, 1);
    auto *rows = new QVBoxLayout(this);
    rows->setContentsMargins(6, 3, 6, 3);
    rows->setSpacing(3);
    rows->addLayout(findRow);
    rows->addWidget(m_replaceRow);
    rows->addLayout(optionRow);

    m_pause.setSingleShot(true);
    m_pause.setInterval(kPauseMs);
    connect(&m_pause, &QTimer::timeout, this, &FindBar::searchNow);
    connect(&m_box, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & (QsciScintillaBase::SC_UPDATE_V_SCROLL | QsciScintillaBase::SC_UPDATE_H_SCROLL))
            markVisible();
    });
    connect(txtFind, &QLineEdit::textEdited, this, &FindBar::incremental);
    for (QCheckBox *box : {chkMatchCase, chkWholeWord, chkRegex, chkWrap})
        connect(box, &QCheckBox::toggled, this, &FindBar::incremental);
    connect(txtFind, &QLineEdit::returnPressed, this, &FindBar::findNext);
    connect(txtReplace, &QLineEdit::returnPressed, this, &FindBar::replace);
    connect(next, &QPushButton::clicked, this, &FindBar::findNext);
    connect(previous, &QPushButton::clicked, this, &FindBar::findPrevious);
    connect(replaceOne, &QPushButton::clicked, this, &FindBar::replace);
    connect(replaceEvery, &QPushButton::clicked, this, &FindBar::replaceAll);
    connect(closer, &QToolButton::clicked, this, &FindBar::close);
    // The text the search runs over is taken again after any change.
    connect(&m_box, &RichTextBox::Change, this, [this] {
        m_textValid = false;
        m_text.clear();
        if (m_marked.first >= 0)
            m_box.setHighlights({});
        forgetMatches();
    });
    txtFind->installEventFilter(this);
    txtReplace->installEventFilter(this);
    hide();
}

bool FindBar::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(e);
        if (key->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        if (watched == txtFind && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && (key->modifiers() & Qt::ShiftModifier)) {
            findPrevious();
            return true;
        }
    }
    return QFrame::eventFilter(watched, e);
}

void FindBar::open(bool replacing)
{
    const QString selected = m_box.SelText();
    if (!selected.isEmpty() && !selected.contains(u'\n') && !selected.contains(u'\r'))
        txtFind->setText(selected);
    m_origin = m_box.SelStart();
    m_replaceRow->setVisible(replacing);
    QFrame::show();
    txtFind->setFocus();
    txtFind->selectAll();
    incremental();
}

void FindBar::close()
{
    hide();
    forgetMatches();
    m_box.setHighlights({});
    m_box.setFocus();
}

void FindBar::forgetMatches()
{
    m_pause.stop();
    m_count.stop();
    m_all.clear();
    m_counted = m_countMore = false;
    m_gaveUpLine = 0;
    m_shown = {};
    m_marked = {-1, 0};
}

TextSearch FindBar::search() const
{
    return TextSearch(txtFind->text(), {chkMatchCase->isChecked(), chkWholeWord->isChecked(), chkRegex->isChecked(),
                                        chkWrap->isChecked()});
}

const QString &FindBar::text()
{
    if (!m_textValid) {
        m_text = m_box.Text();
        m_textValid = true;
    }
    return m_text;
}

bool FindBar::reportInvalid(const TextSearch &s)
{
    if (s.isValid())
        return false;
    lblFindStatus->setText(s.errorString());
    forgetMatches();
    m_box.setHighlights({});
    return true;
}

bool FindBar::refuseReadOnly()
{
    if (!m_box.isReadOnly())
        return false;
    lblFindStatus->setText(QStringLiteral("The document is read-only: nothing was replaced"));
    return true;
}

void FindBar::startCount(const TextSearch &s)
{
    m_count.stop();
    m_all.clear();
    m_counted = m_countMore = false;
    m_gaveUpLine = 0;
    const auto take = [this](QList<TextSearch::Match> part) {
        m_all += part;
        return true;
    };
    if (text().size() < backgroundFrom) {
        const TextSearch::Counted c = s.forEachMatch(text(), countCap, countCap, take);
        m_counted = true;
        m_countMore = c.more;
        m_gaveUpLine = c.gaveUpLine;
        return;
    }
    // Its own copy of the search and of the text (shared, not copied).
    auto counted = std::make_shared<TextSearch::Counted>();
    const QString pattern = txtFind->text();
    const TextSearch::Options options{chkMatchCase->isChecked(), chkWholeWord->isChecked(), chkRegex->isChecked(),
                                      chkWrap->isChecked()};
    const QString all = text();
    const qsizetype cap = countCap;
    m_count.start(
        [=](LongTask<QList<TextSearch::Match>>::Control &control) {
            *counted = TextSearch(pattern, options).forEachMatch(all, cap, 10000, [&](QList<TextSearch::Match> part) {
                return control.deliver(std::move(part));
            });
        },
        {[take](QList<TextSearch::Match> part) { take(std::move(part)); }, {}, [this, counted] {
             m_counted = true;
             m_countMore = counted->more;
             m_gaveUpLine = counted->gaveUpLine;
             showStatus(m_shown);
         }});
}

void FindBar::markVisible()
{
    if (!isVisible() || txtFind->text().isEmpty())
        return;
    const TextSearch s = search();
    if (!s.isValid())
        return;
    const QPair<qsizetype, qsizetype> range = m_box.visibleRange();
    if (range == m_marked)
        return;
    m_marked = range;
    QList<QPair<qsizetype, qsizetype>> ranges;
    s.forEachMatch(text().mid(range.first, range.second), kMaxMarks, kMaxMarks, [&](QList<TextSearch::Match> part) {
        for (const TextSearch::Match &m : std::as_const(part))
            ranges.append({range.first + m.start, m.length});
        return true;
    });
    m_box.setHighlights(ranges);
}

void FindBar::present(const TextSearch::Match &m)
{
    m_shown = m;
    if (m.found())
        m_box.selectRange(m.start, m.length);
    else if (!txtFind->text().isEmpty() && !m.gaveUpLine && !m_gaveUpLine)
        QApplication::beep();
    showStatus(m);
}

void FindBar::showStatus(const TextSearch::Match &m)
{
    if (txtFind->text().isEmpty()) {
        lblFindStatus->clear();
        return;
    }
    // PCRE2 gave up: that is no miss.
    if (m.gaveUpLine || (!m.found() && m_gaveUpLine)) {
        lblFindStatus->setText(gaveUp(m.gaveUpLine ? m.gaveUpLine : m_gaveUpLine));
        return;
    }
    if (!m.found()) {
        lblFindStatus->setText(chkWrap->isChecked() || (m_counted && m_all.isEmpty()) ? QStringLiteral("No matches")
                                                                                      : QStringLiteral("No more matches"));
        return;
    }
    const auto at = std::lower_bound(m_all.cbegin(), m_all.cend(), m.start,
                                     [](const TextSearch::Match &a, qsizetype start) { return a.start < start; });
    const QString of = m_countMore ? QStringLiteral("more than %1").arg(thousands(countCap)) : thousands(m_all.size());
    QString status = !m_counted                                  ? QStringLiteral("Counting matches\u2026")
                     : at != m_all.cend() && at->start == m.start ? QStringLiteral("%1 of %2 matches").arg(thousands(at - m_all.cbegin() + 1), of)
                                                                  : of + QStringLiteral(" matches");
    if (m.wrapped)
        status += QStringLiteral(" (wrapped around)");
    lblFindStatus->setText(status);
}

void FindBar::incremental()
{
    forgetMatches();
    if (text().size() >= backgroundFrom && !txtFind->text().isEmpty()) {
        m_box.setHighlights({});
        lblFindStatus->clear();
        m_pause.start();
        return;
    }
    searchNow();
}

void FindBar::searchNow()
{
    m_pause.stop();
    const TextSearch s = search();
    if (reportInvalid(s))
        return;
    startCount(s);
    m_marked = {-1, 0};
    if (txtFind->text().isEmpty())
        m_box.setHighlights({});
    const TextSearch::Match m = s.findNext(text(), m_origin, m_origin);
    present(m);
    markVisible();
}

void FindBar::findNext()
{
    step(true);
}

void FindBar::findPrevious()
{
    step(false);
}

void FindBar::step(bool forward)
{
    const TextSearch s = search();
    if (txtFind->text().isEmpty()) {
        open(false);
        return;
    }
    if (reportInvalid(s))
        return;
    if (m_pause.isActive())
        searchNow();
    else if (!m_counted && !m_count.running() && isVisible()) {
        startCount(s);
        markVisible();
    }
    const qsizetype start = m_box.SelStart();
    const TextSearch::Match m = forward ? s.findNext(text(), start, start + m_box.SelLength())
                                        : s.findPrevious(text(), start);
    if (m.found())
        m_origin = m.start;
    present(m);
}

void FindBar::replace()
{
    const TextSearch s = search();
    if (refuseReadOnly() || reportInvalid(s) || txtFind->text().isEmpty())
        return;
    // The selection is replaced when it is a match; then the next is found.
    const qsizetype start = m_box.SelStart();
    const qsizetype length = m_box.SelLength();
    const TextSearch::Match here = s.findNext(text(), start, start);
    if (here.found() && here.start == start && here.length == length && !here.wrapped) {
        const QString replacement = s.replacementFor(text(), here, txtReplace->text());
        m_box.SetSelText(replacement);
    }
    findNext();
}

void FindBar::replaceAll()
{
    const TextSearch s = search();
    if (refuseReadOnly() || reportInvalid(s) || txtFind->text().isEmpty())
        return;
    // The size is known from the count before anything is built: past what
    // the control holds it would abort the program, every window's text with it.
    TextSearch::Replaced r = s.replaceAll(text(), txtReplace->text(), RichTextBox::kMaxBytes);
    if (r.gaveUpLine || r.tooBig) {
        lblFindStatus->setText(r.tooBig ? QStringLiteral("Nothing was replaced: the text would be too big for the editor")
                                        : gaveUp(r.gaveUpLine));
        return;
    }
    const qsizetype count = r.count;
    if (count > 0) {
        // Only the new text in UTF-8 is kept while the control takes it.
        QByteArray bytes = r.text.toUtf8();
        r.text = QString();
        m_text = QString();
        m_textValid = false;
        if (m_undoStep)
            m_undoStep();
        m_box.changeTextBytes(bytes);
        if (m_undoStep)
            m_undoStep();
    }
    lblFindStatus->setText(count == 1 ? QStringLiteral("1 match replaced")
                                      : QStringLiteral("%1 matches replaced").arg(count));
}
