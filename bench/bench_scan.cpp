// Quick scan of a file for a phrase: prints the lines found and the CPU
// seconds of the scan; run it under /usr/bin/time for the peak memory.
#include "core/QuickScan.h"

#include <QCoreApplication>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_scan FILE PHRASE\n");
        return 2;
    }
    qint64 found = 0;
    const QuickScan::Outcome outcome = QuickScan::scan(
        QString::fromLocal8Bit(argv[1]), QuickScan::normalizedPhrase(QString::fromLocal8Bit(argv[2])), 0,
        [&](QStringList lines) { found += lines.size(); }, [](qint64, qint64) { return true; });
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    std::printf("quick scan: %lld lines found, %.2f CPU s%s\n", found,
                u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6,
                outcome.failure ? " (read failed)" : "");
    return 0;
}
