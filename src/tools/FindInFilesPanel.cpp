#include "tools/FindInFilesPanel.h"

#include "core/FileIO.h"
#include "platform/Dialogs.h"
#include "ui/AppContext.h"
#include "ui/DocumentHost.h"
#include "ui/DocumentTarget.h"
#include "ui/NamedButton.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTreeWidget>

namespace {

enum { Folder, Project };

using Place = FindInFiles::Place;

// What a hit row keeps besides its text.
enum Role { PathRole = Qt::UserRole, LineRole, ColumnRole, LengthRole };

QString englishNumber(qint64 n)
{
    return QLocale(QLocale::English).toString(n);
}

QString hitsInFiles(qint64 hits, qint64 files)
{
    return QStringLiteral("%1 %2 in %3 %4")
        .arg(englishNumber(hits), hits == 1 ? QStringLiteral("match") : QStringLiteral("matches"), englishNumber(files),
             files == 1 ? QStringLiteral("file") : QStringLiteral("files"));
}

} // namespace

FindInFilesPanel::FindInFilesPanel(AppContext &ctx, DocumentHost &docs, QWidget *parent)
    : QWidget(parent), m_ctx(ctx), m_docs(docs)
{
    setObjectName(QStringLiteral("frmFindInFiles"));
    const auto edit = [this](const char *name, const QString &hint) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setPlaceholderText(hint);
        return e;
    };
    txtFindText = edit("txtFindText", QStringLiteral("Text to find"));
    txtFolder = edit("txtFolder", QStringLiteral("Folder"));
    txtPatterns = edit("txtPatterns", QStringLiteral("All files, or such as *.html;*.css"));
    txtReplaceWith = edit("txtFilesReplaceWith", QStringLiteral("Replace with"));
    cboWhere = new QComboBox(this);
    cboWhere->setObjectName(QStringLiteral("cboFilesWhere"));
    cboWhere->addItems({QStringLiteral("In the folder"), QStringLiteral("In the project list's files")});
    const auto option = [this](const char *name, const QString &caption) {
        auto *c = new QCheckBox(caption, this);
        c->setObjectName(QLatin1String(name));
        return c;
    };
    chkMatchCase = option("chkFilesMatchCase", QStringLiteral("Match case"));
    chkWholeWord = option("chkFilesWholeWord", QStringLiteral("Whole word"));
    chkRegex = option("chkFilesRegex", QStringLiteral("Regular expression"));
    cmdFind = namedButton(this, "cmdFindInFiles", QStringLiteral("Find"));
    cmdStop = namedButton(this, "cmdStopFinding", QStringLiteral("Stop"));
    cmdStop->setEnabled(false);
    cmdReplace = namedButton(this, "cmdReplaceInFiles", QStringLiteral("Replace..."));
    cmdReplace->setEnabled(false);
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblFilesSummary"));
    lstHits = new QTreeWidget(this);
    lstHits->setObjectName(QStringLiteral("lstHits"));
    lstHits->setHeaderLabels({QStringLiteral("File / line"), QStringLiteral("Text")});
    auto *grid = new QGridLayout(this);
    grid->addWidget(txtFindText, 0, 0);
    grid->addWidget(cboWhere, 0, 1);
    grid->addWidget(txtFolder, 0, 2);
    grid->addWidget(txtPatterns, 0, 3);
    grid->addWidget(cmdFind, 0, 4);
    grid->addWidget(cmdStop, 0, 5);
    grid->addWidget(txtReplaceWith, 1, 0);
    auto *options = new QHBoxLayout;
    for (QCheckBox *c : {chkMatchCase, chkWholeWord, chkRegex})
        options->addWidget(c);
    options->addWidget(lblSummary, 1);
    grid->addLayout(options, 1, 1, 1, 3);
    grid->addWidget(cmdReplace, 1, 4);
    grid->addWidget(lstHits, 2, 0, 1, 6);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(2, 2);
    grid->setColumnStretch(3, 2);

    connect(cmdFind, &QPushButton::clicked, this, &FindInFilesPanel::start);
    for (QLineEdit *box : {txtFindText, txtFolder, txtPatterns})
        connect(box, &QLineEdit::returnPressed, this, &FindInFilesPanel::start);
    connect(cmdStop, &QPushButton::clicked, this, &FindInFilesPanel::stop);
    connect(cmdReplace, &QPushButton::clicked, this, &FindInFilesPanel::replace);
    connect(cboWhere, &QComboBox::currentIndexChanged, this, [this](int where) { txtFolder->setEnabled(where == Folder); });
    connect(lstHits, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *row) { open(row); });
    // F8 and Shift+F8 wherever the panel's window has the focus.
    for (const auto &[key, by] : {std::pair{QKeySequence(Qt::Key_F8), 1}, std::pair{QKeySequence(Qt::SHIFT | Qt::Key_F8), -1}}) {
        auto *a = new QAction(this);
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
        const int step = by;
        connect(a, &QAction::triggered, this, [this, step] { this->step(step); });
        addAction(a);
    }
}

FindInFilesPanel::~FindInFilesPanel()
{
    // A replace still running ends with the file it is in, unwritten.
    if (m_stopReplacing)
        *m_stopReplacing = true;
}

void FindInFilesPanel::start()
{
    if (m_replacing && m_replacing->running())
        return;
    stop();
    lstHits->clear();
    cmdReplace->setEnabled(false);
    FindInFiles::Query query;
    query.text = txtFindText->text();
    query.options.matchCase = chkMatchCase->isChecked();
    query.options.wholeWord = chkWholeWord->isChecked();
    query.options.regex = chkRegex->isChecked();
    query.patterns = txtPatterns->text();
    if (const TextSearch search(query.text, query.options); !search.isValid()) {
        lblSummary->setText(search.errorString());
        return;
    }
    if (cboWhere->currentIndex() == Project) {
        for (int n = 1; n <= m_ctx.projectList.count(); ++n) {
            if (m_ctx.projectList.entry(n).IsActive())
                query.files << m_ctx.projectList.entry(n).FileName();
        }
        if (query.files.isEmpty()) {
            lblSummary->setText(QStringLiteral("The project list has no files."));
            return;
        }
    } else {
        query.folder = txtFolder->text().trimmed();
        if (query.folder.isEmpty() || !QDir(query.folder).exists()) {
            lblSummary->setText(QStringLiteral("Type a text to find and an existing folder."));
            return;
        }
    }
    if (query.text.isEmpty()) {
        lblSummary->setText(QStringLiteral("Type a text to find."));
        return;
    }
    // What the user sees in a window with unsaved changes is what is
    // searched there, and what Replace then finds again.
    for (DocumentTarget *doc : m_docs.openDocuments()) {
        if (doc->isChanged() && !doc->FilePath().isEmpty())
            query.openTexts.insert(FileIO::absolutePath(doc->FilePath()), doc->Text());
    }
    m_searched = query;
    m_found.clear();
    lblSummary->setText(QStringLiteral("Searching…"));
    searching(true);
    m_task = std::make_unique<LongTask<FindInFiles::Batch>>(this);
    using Task = LongTask<FindInFiles::Batch>;
    m_task->start(
        [query](Task::Control &control) {
            FindInFiles::run(query, {[&control] { return control.stopped(); },
                                     [&control](FindInFiles::Batch b) { return control.deliver(std::move(b)); },
                                     [&control](qint64 done, qint64 total) { control.progress(done, total); }});
        },
        Task::Callbacks{[this](FindInFiles::Batch batch) { add(batch); },
                        [this](qint64 done, qint64 total) {
                            // How far it has come, beside what it has found so far.
                            const QString files = QStringLiteral("%1 of %2 files").arg(englishNumber(done), englishNumber(total));
                            lblSummary->setText(m_found.isEmpty() ? QStringLiteral("Searching… ") + files
                                                                  : m_found + QStringLiteral(" so far… (") + files + u')');
                        },
                        [this] { searching(false); }});
    m_searched.openTexts.clear(); // the search has its own copy
}

void FindInFilesPanel::searching(bool on)
{
    cmdStop->setEnabled(on);
    cmdFind->setEnabled(!on);
    cmdReplace->setEnabled(!on && lstHits->topLevelItemCount() > 0);
}

void FindInFilesPanel::stop()
{
    if (m_replacing && m_replacing->running()) {
        // The file being written is finished and told of; no other is begun.
        *m_stopReplacing = true;
        return;
    }
    if (!m_task)
        return;
    const bool wasRunning = m_task->running();
    m_task.reset(); // stops the search and waits for it
    searching(false);
    if (wasRunning)
        lblSummary->setText(m_found.isEmpty() ? QStringLiteral("Stopped.") : m_found + QStringLiteral(" (stopped)"));
}

void FindInFilesPanel::add(const FindInFiles::Batch &batch)
{
    for (const FindInFiles::FileHits &file : batch.files) {
        auto *top = new QTreeWidgetItem(lstHits, {QDir::toNativeSeparators(file.path) + QStringLiteral(" (%1)").arg(file.matches)});
        top->setData(0, PathRole, file.path);
        // A check box per hit picks what Replace changes; the file's box
        // picks all of its hits at once.
        top->setFlags(top->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
        for (const FindInFiles::Hit &hit : file.hits) {
            auto *row = new QTreeWidgetItem(top, {QString::number(hit.line), hit.shown});
            row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
            row->setCheckState(0, Qt::Checked);
            row->setData(0, PathRole, file.path);
            row->setData(0, LineRole, hit.line);
            row->setData(0, ColumnRole, hit.column);
            row->setData(0, LengthRole, hit.length);
        }
        top->setFirstColumnSpanned(true); // the whole path, across the columns
        top->setExpanded(true);
    }
    m_found = FindInFiles::summary(batch.totals);
    lblSummary->setText(m_found + (batch.last ? QString() : QStringLiteral(" so far…")));
}

void FindInFilesPanel::open(QTreeWidgetItem *row)
{
    if (row && !row->parent() && row->childCount() > 0)
        row = row->child(0);
    if (!row || !row->parent())
        return;
    lstHits->setCurrentItem(row);
    const QString path = row->data(0, PathRole).toString();
    DocumentTarget *doc = m_docs.documentFor(path);
    if (!doc)
        doc = m_docs.OpenFileByPath(path);
    if (doc)
        doc->selectAt(row->data(0, LineRole).toInt(), row->data(0, ColumnRole).toLongLong(),
                      row->data(0, LengthRole).toLongLong());
}

void FindInFilesPanel::step(int by)
{
    QList<QTreeWidgetItem *> hits;
    for (int f = 0; f < lstHits->topLevelItemCount(); ++f) {
        for (int h = 0; h < lstHits->topLevelItem(f)->childCount(); ++h)
            hits << lstHits->topLevelItem(f)->child(h);
    }
    if (hits.isEmpty())
        return;
    const qsizetype at = hits.indexOf(lstHits->currentItem());
    const qsizetype next = at < 0 ? (by > 0 ? 0 : hits.size() - 1) : (at + by + hits.size()) % hits.size();
    open(hits[next]);
}

void FindInFilesPanel::replace()
{
    if (m_task && m_task->running())
        return;
    // The checked hits, by file.
    QList<std::pair<QString, QList<Place>>> picked;
    qint64 hits = 0;
    for (int f = 0; f < lstHits->topLevelItemCount(); ++f) {
        QTreeWidgetItem *top = lstHits->topLevelItem(f);
        QList<Place> places;
        for (int h = 0; h < top->childCount(); ++h) {
            if (top->child(h)->checkState(0) == Qt::Checked)
                places.append({top->child(h)->data(0, LineRole).toLongLong(), top->child(h)->data(0, ColumnRole).toLongLong(),
                               top->child(h)->text(1)});
        }
        if (!places.isEmpty()) {
            hits += places.size();
            picked.append({top->data(0, PathRole).toString(), places});
        }
    }
    if (picked.isEmpty()) {
        lblSummary->setText(QStringLiteral("No hit is checked: nothing to replace."));
        return;
    }
    m_with = txtReplaceWith->text();
    const QString question = QStringLiteral("Replace %1 with \"%2\"?\r\n\r\nOpen documents get the change as an edit that "
                                            "Undo takes back; the other files are written now.")
                                 .arg(hitsInFiles(hits, picked.size()), m_with);
    if (m_ctx.dialogs.message(question, Dialogs::Buttons::YesNo, Dialogs::Icon::Question, QStringLiteral("Replace in Files"))
        != Dialogs::Answer::Yes)
        return;

    m_replacedCount = m_replacedFiles = 0;
    m_notReplaced.clear();
    m_stopReplacing.reset();
    const TextSearch search(m_searched.text, m_searched.options);
    QList<std::pair<QString, QList<Place>>> closed;
    for (const auto &[path, places] : std::as_const(picked)) {
        DocumentTarget *doc = m_docs.documentFor(path);
        if (!doc) {
            closed.append({path, places});
            continue;
        }
        // An open document is changed, not its file: the window's text may
        // differ from the file, and Undo takes the change back.
        FileDone done{path, {}};
        if (doc->isReadOnly()) {
            done.result.missing = places.size();
            done.result.error = QStringLiteral("its window shows the file with lines cut short");
        } else {
            const FindInFiles::Replacement r = FindInFiles::replaceAt(doc->Text(), search, places, m_with);
            done.result.replaced = r.replaced;
            done.result.missing = r.missing;
            if (r.gaveUpLine)
                done.result.error = QStringLiteral("the expression is too complex for line %1").arg(r.gaveUpLine);
            if (r.replaced > 0) {
                doc->undoStep();
                doc->SetText(r.text);
                doc->undoStep();
            }
        }
        replaced(done);
    }
    if (closed.isEmpty()) {
        replacingDone();
        return;
    }
    searching(true);
    m_replacing = std::make_unique<LongTask<FileDone>>(this);
    m_stopReplacing = std::make_shared<std::atomic_bool>(false);
    using Task = LongTask<FileDone>;
    m_replacing->start(
        [query = m_searched, with = m_with, closed, stop = m_stopReplacing](Task::Control &control) {
            const TextSearch search(query.text, query.options);
            for (const auto &[path, places] : closed) {
                if (*stop || !control.deliver({path, FindInFiles::replaceInFile(path, search, places, with, [&stop] { return stop->load(); })}))
                    return;
            }
        },
        Task::Callbacks{[this](FileDone done) { replaced(done); }, {}, [this] { replacingDone(); }});
}

void FindInFilesPanel::replaced(const FileDone &file)
{
    m_replacedCount += file.result.replaced;
    m_replacedFiles += file.result.replaced > 0 ? 1 : 0;
    const QString path = QDir::toNativeSeparators(file.path);
    if (!file.result.error.isEmpty())
        m_notReplaced << QStringLiteral("%1: %2").arg(path, file.result.error);
    else if (file.result.missing > 0)
        m_notReplaced << QStringLiteral("%1: %2 no longer found where the search found %3")
                             .arg(path, file.result.missing == 1 ? QStringLiteral("1 match") : QStringLiteral("%1 matches").arg(file.result.missing),
                                  file.result.missing == 1 ? QStringLiteral("it") : QStringLiteral("them"));
    lblSummary->setText(QStringLiteral("Replaced ") + hitsInFiles(m_replacedCount, m_replacedFiles)
                        + (m_notReplaced.isEmpty() ? QString()
                                                   : QStringLiteral("; %1 not replaced")
                                                         .arg(m_notReplaced.size() == 1 ? QStringLiteral("1 file")
                                                                                       : QStringLiteral("%1 files").arg(m_notReplaced.size()))));
}

void FindInFilesPanel::replacingDone()
{
    searching(false);
    if (m_stopReplacing && *m_stopReplacing)
        lblSummary->setText(QStringLiteral("Stopped. ") + lblSummary->text());
    // The listed hits are what the files held before: a second Replace
    // would look for them where they no longer are.
    lstHits->clear();
    cmdReplace->setEnabled(false);
    if (m_notReplaced.isEmpty())
        return;
    constexpr int kListed = 20;
    QStringList listed = m_notReplaced.mid(0, kListed);
    if (m_notReplaced.size() > kListed)
        listed << QStringLiteral("and %1 more files").arg(englishNumber(m_notReplaced.size() - kListed));
    m_ctx.dialogs.message(lblSummary->text() + QStringLiteral(".\r\n\r\nNot replaced:\r\n") + listed.join(QStringLiteral("\r\n")),
                          Dialogs::Buttons::Ok, Dialogs::Icon::Warning, QStringLiteral("Replace in Files"));
}
