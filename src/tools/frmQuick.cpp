#include "tools/frmQuick.h"

#include "core/QuickScan.h"
#include "platform/Dialogs.h"
#include "ui/AppContext.h"
#include "ui/FileQuestion.h"
#include "ui/NamedButton.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>

QVariant ScanResults::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_lines.size())
        return {};
    return m_lines.at(index.row());
}

void ScanResults::append(const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    beginInsertRows({}, int(m_lines.size()), int(m_lines.size() + lines.size() - 1));
    m_lines += lines;
    endInsertRows();
}

void ScanResults::clear()
{
    beginResetModel();
    m_lines.clear();
    endResetModel();
}

frmQuick::frmQuick(AppContext &ctx)
    : m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmQuick"));
    setWindowTitle(QStringLiteral("Quick Scan"));
    setAttribute(Qt::WA_DeleteOnClose);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    results = new ScanResults(this);
    List1 = new QListView(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setModel(results);
    List1->setUniformItemSizes(true); // millions of rows stay quick
    Command1 = namedButton(this, "Command1", QStringLiteral("&Scan"));
    cmdStop = namedButton(this, "cmdStop", QStringLiteral("S&top"));
    cmdStop->setEnabled(false);
    progress = new QProgressBar(this);
    progress->setObjectName(QStringLiteral("progress"));
    progress->setRange(0, 1000);
    progress->hide();
    lblMore = new QLabel(this);
    lblMore->setObjectName(QStringLiteral("lblMore"));
    lblMore->hide();
    Label3 = new QLabel(QStringLiteral("Instructions: Enter text into the box labelled search. Then click scan. a box will "
                                       "open for you to select a file. open the file, and Orvane will scan the file to see if "
                                       "the string appears. if it appears it will display in the box labelled results."),
                        this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setWordWrap(true);
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Search"), this), 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(Command1, 0, 2);
    grid->addWidget(Label3, 1, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Results"), this), 2, 0, 1, 3);
    grid->addWidget(List1, 3, 0, 1, 3);
    grid->addWidget(lblMore, 4, 0, 1, 3);
    grid->addWidget(progress, 5, 0, 1, 2);
    grid->addWidget(cmdStop, 5, 2);
    resize(560, 440);

    connect(Command1, &QPushButton::clicked, this, [this] {
        if (scanning())
            return;
        results->clear();
        const QString name = m_ctx.dialogs.openFileName(QStringLiteral("All Files (*)"), QString());
        if (!name.isEmpty())
            scanFile(name);
    });
    connect(cmdStop, &QPushButton::clicked, this, &frmQuick::stopScan);
}

frmQuick::~frmQuick() = default;

void frmQuick::scanFile(const QString &path)
{
    m_task.stop();
    results->clear();
    m_more = 0;
    lblMore->hide();
    m_path = path;
    m_phrase = QuickScan::normalizedPhrase(Text1->text());
    const FileQuestion::Lines lines{QStringLiteral("There was an error in reading your file"),
                                    FileQuestion::kWhatNow, false, true};
    if (FileQuestion::untilDone(m_ctx.dialogs, lines, [&] { return FileIO::checkReadable(path); }))
        startFrom(0, -1);
    else
        emit scanFinished();
}

void frmQuick::startFrom(qint64 offset, qint64 end)
{
    QuickScan::Limits limits = this->limits;
    limits.rows = std::max<qsizetype>(0, limits.rows - results->rowCount());
    auto outcome = std::make_shared<QuickScan::Outcome>();
    const QString path = m_path;
    const QString phrase = m_phrase;
    m_task.start(
        [=](LongTask<QStringList>::Control &control) {
            *outcome = QuickScan::scan(
                path, phrase, offset, [&](QStringList found) { control.deliver(std::move(found)); },
                [&](qint64 done, qint64 total) {
                    control.progress(done, total);
                    return !control.stopped();
                },
                end, limits);
        },
        {[this](QStringList found) { results->append(found); },
         [this](qint64 done, qint64 total) {
             progress->show();
             progress->setValue(total > 0 ? int(done * 1000 / total) : 1000);
         },
         [this, outcome] { finish(*outcome); }});
    cmdStop->setEnabled(true);
}

void frmQuick::finish(const QuickScan::Outcome &outcome)
{
    cmdStop->setEnabled(false);
    progress->hide();
    m_more += outcome.more;
    if (m_more > 0) {
        lblMore->setText(QStringLiteral("and %1 more matching lines").arg(m_more));
        lblMore->show();
    }
    // A read that failed half way asks what to do; Retry goes on where it stopped.
    if (outcome.failure) {
        const QString question = QStringLiteral("There was an error in reading your file\r\n") + outcome.failure.description
                                 + QStringLiteral("\r\n") + FileQuestion::kWhatNow;
        if (m_ctx.dialogs.message(question, Dialogs::Buttons::AbortRetryIgnore, Dialogs::Icon::None, AppContext::appTitle())
            == Dialogs::Answer::Retry) {
            startFrom(outcome.offset, outcome.end);
            return;
        }
    }
    emit scanFinished();
}

void frmQuick::stopScan()
{
    if (!m_task.running())
        return;
    m_task.stop();
    QuickScan::Outcome stopped;
    stopped.stopped = true;
    finish(stopped);
}
