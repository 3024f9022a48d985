#include "tools/FindInFilesPanel.h"

#include "ui/DocumentHost.h"
#include "ui/DocumentTarget.h"
#include "ui/NamedButton.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

FindInFilesPanel::FindInFilesPanel(DocumentHost &docs, QWidget *parent)
    : QWidget(parent), m_docs(docs)
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
    txtPatterns = edit("txtPatterns", QStringLiteral("Files, such as *.html;*.css (all when empty)"));
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
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblFilesSummary"));
    lstHits = new QTreeWidget(this);
    lstHits->setObjectName(QStringLiteral("lstHits"));
    lstHits->setHeaderLabels({QStringLiteral("File / line"), QStringLiteral("Text")});
    auto *grid = new QGridLayout(this);
    grid->addWidget(txtFindText, 0, 0);
    grid->addWidget(txtFolder, 0, 1);
    grid->addWidget(txtPatterns, 0, 2);
    grid->addWidget(cmdFind, 0, 3);
    grid->addWidget(cmdStop, 0, 4);
    auto *options = new QHBoxLayout;
    for (QCheckBox *c : {chkMatchCase, chkWholeWord, chkRegex})
        options->addWidget(c);
    options->addWidget(lblSummary, 1);
    grid->addLayout(options, 1, 0, 1, 5);
    grid->addWidget(lstHits, 2, 0, 1, 5);

    connect(cmdFind, &QPushButton::clicked, this, &FindInFilesPanel::start);
    connect(txtFindText, &QLineEdit::returnPressed, this, &FindInFilesPanel::start);
    connect(cmdStop, &QPushButton::clicked, this, &FindInFilesPanel::stop);
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

FindInFilesPanel::~FindInFilesPanel() = default;

void FindInFilesPanel::start()
{
    stop();
    lstHits->clear();
    FindInFiles::Query query;
    query.text = txtFindText->text();
    query.options.matchCase = chkMatchCase->isChecked();
    query.options.wholeWord = chkWholeWord->isChecked();
    query.options.regex = chkRegex->isChecked();
    query.folder = txtFolder->text().trimmed();
    query.patterns = txtPatterns->text();
    if (query.text.isEmpty() || query.folder.isEmpty() || !QDir(query.folder).exists()) {
        lblSummary->setText(QStringLiteral("Type a text to find and an existing folder."));
        return;
    }
    lblSummary->setText(QStringLiteral("Searching…"));
    cmdStop->setEnabled(true);
    m_task = std::make_unique<LongTask<FindInFiles::Batch>>(this);
    using Task = LongTask<FindInFiles::Batch>;
    m_task->start(
        [query](Task::Control &control) {
            FindInFiles::run(query, {[&control] { return control.stopped(); },
                                     [&control](FindInFiles::Batch b) { return control.deliver(std::move(b)); },
                                     [&control](qint64 done, qint64 total) { control.progress(done, total); }});
        },
        Task::Callbacks{[this](FindInFiles::Batch batch) { add(batch); }, {}, [this] { cmdStop->setEnabled(false); }});
}

void FindInFilesPanel::stop()
{
    if (!m_task)
        return;
    m_task.reset(); // stops the search and waits for it
    cmdStop->setEnabled(false);
    if (lblSummary->text() == QLatin1String("Searching…"))
        lblSummary->setText(QStringLiteral("Stopped."));
}

void FindInFilesPanel::add(const FindInFiles::Batch &batch)
{
    for (const FindInFiles::FileHits &file : batch.files) {
        auto *top = new QTreeWidgetItem(lstHits, {QDir::toNativeSeparators(file.path) + QStringLiteral(" (%1)").arg(file.matches)});
        top->setData(0, Qt::UserRole, file.path);
        for (const FindInFiles::Hit &hit : file.hits) {
            auto *row = new QTreeWidgetItem(top, {QString::number(hit.line), hit.shown});
            row->setData(0, Qt::UserRole, file.path);
            row->setData(0, Qt::UserRole + 1, hit.line);
            row->setData(0, Qt::UserRole + 2, hit.column);
            row->setData(0, Qt::UserRole + 3, hit.length);
        }
        top->setFirstColumnSpanned(true); // the whole path, across the columns
        top->setExpanded(true);
    }
    lblSummary->setText(FindInFiles::summary(batch.totals) + (batch.last ? QString() : QStringLiteral(" so far…")));
}

void FindInFilesPanel::open(QTreeWidgetItem *row)
{
    if (row && !row->parent() && row->childCount() > 0)
        row = row->child(0);
    if (!row || !row->parent())
        return;
    lstHits->setCurrentItem(row);
    const QString path = row->data(0, Qt::UserRole).toString();
    DocumentTarget *doc = m_docs.documentFor(path);
    if (!doc)
        doc = m_docs.OpenFileByPath(path);
    if (doc)
        doc->selectAt(row->data(0, Qt::UserRole + 1).toInt(), row->data(0, Qt::UserRole + 2).toLongLong(),
                      row->data(0, Qt::UserRole + 3).toLongLong());
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
