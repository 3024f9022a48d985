// Find in Files over a folder on the long-task path the window uses:
//   bench_findfiles TEXT FOLDER
// prints the summary and the memory this process took above its start.
#include "core/FindInFiles.h"
#include "core/LongTask.h"

#include <QCoreApplication>
#include <QFile>
#include <QList>
#include <cstdio>

namespace {

// A figure of /proc/self/status in kB ("VmRSS", "VmHWM").
qint64 statusKb(const char *name)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(name))
            return line.mid(qstrlen(name) + 1).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_findfiles TEXT FOLDER\n");
        return 2;
    }
    const qint64 startKb = statusKb("VmRSS");
    FindInFiles::Query query;
    query.text = QString::fromLocal8Bit(argv[1]);
    query.folder = QString::fromLocal8Bit(argv[2]);
    FindInFiles::Totals totals;
    qint64 keptRows = 0;
    QList<FindInFiles::FileHits> kept; // as a results list keeps them
    LongTask<FindInFiles::Batch> task(&app);
    task.start(
        [query](LongTask<FindInFiles::Batch>::Control &c) {
            FindInFiles::run(query, {[&c] { return c.stopped(); },
                                     [&c](FindInFiles::Batch b) { return c.deliver(std::move(b)); },
                                     [&c](qint64 done, qint64 total) { c.progress(done, total); }});
        },
        {[&](FindInFiles::Batch b) {
             totals = b.totals;
             for (const FindInFiles::FileHits &f : b.files)
                 keptRows += f.hits.size();
             kept << b.files;
         },
         {}, [] { QCoreApplication::quit(); }});
    app.exec();
    std::printf("%s; %lld hits kept; %.1f MB peak above start\n", qPrintable(FindInFiles::summary(totals)),
                static_cast<long long>(keptRows), double(statusKb("VmHWM") - startKb) / 1024.0);
    return 0;
}
