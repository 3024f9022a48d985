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
#include <QThread>

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
    grid->addWidget(progress, 4, 0, 1, 2);
    grid->addWidget(cmdStop, 4, 2);
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

frmQuick::~frmQuick()
{
    if (m_thread) {
        m_stop->store(true);
        m_thread->wait();
    }
}

void frmQuick::scanFile(const QString &path)
{
    results->clear();
    m_path = path;
    m_phrase = QuickScan::normalizedPhrase(Text1->text());
    const FileQuestion::Lines lines{QStringLiteral("There was an error in reading your file"),
                                    FileQuestion::kWhatNow, false, true};
    if (FileQuestion::untilDone(m_ctx.dialogs, lines, [&] { return FileIO::checkReadable(path); }))
        startFrom(0);
    else
        emit scanFinished();
}

void frmQuick::startFrom(qint64 offset)
{
    auto stop = std::make_shared<std::atomic_bool>(false);
    m_stop = stop;
    QPointer<frmQuick> self(this);
    const QString path = m_path;
    const QString phrase = m_phrase;
    m_thread = QThread::create([=] {
        const QuickScan::Outcome outcome = QuickScan::scan(
            path, phrase, offset,
            [=](QStringList found) {
                QMetaObject::invokeMethod(self, [=] { if (self) self->results->append(found); }, Qt::QueuedConnection);
            },
            [=](qint64 done, qint64 total) {
                QMetaObject::invokeMethod(self, [=] {
                    if (self) {
                        self->progress->show();
                        self->progress->setValue(total > 0 ? int(done * 1000 / total) : 1000);
                    }
                }, Qt::QueuedConnection);
                return !stop->load();
            });
        QMetaObject::invokeMethod(self, [=] {
            if (!self)
                return;
            self->m_thread->deleteLater();
            self->m_thread = nullptr;
            self->cmdStop->setEnabled(false);
            self->progress->hide();
            // A read that failed half way asks what to do; Retry goes on where it stopped.
            if (outcome.failure) {
                const QString question = QStringLiteral("There was an error in reading your file\r\n")
                                         + outcome.failure.description + QStringLiteral("\r\n") + FileQuestion::kWhatNow;
                if (self->m_ctx.dialogs.message(question, Dialogs::Buttons::AbortRetryIgnore, Dialogs::Icon::None,
                                                AppContext::appTitle()) == Dialogs::Answer::Retry) {
                    self->startFrom(outcome.offset);
                    return;
                }
            }
            emit self->scanFinished();
        }, Qt::QueuedConnection);
    });
    cmdStop->setEnabled(true);
    m_thread->start();
}

void frmQuick::stopScan()
{
    if (m_stop)
        m_stop->store(true);
}
