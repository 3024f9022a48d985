// How a corpus of real files in many encodings reads and saves back:
//   bench_encodings DIR   (DIR from bench/make_encodings.py)
// For each NAME.txt with its text as UTF-8 in NAME.expected: is the text
// shown the text written (line breaks aside), and does a plain save of the
// unchanged document give the same bytes? Prints the misses and the totals.
#include "core/TextFileCodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <cstdio>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_encodings DIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    int files = 0, shown = 0, saved = 0;
    QMap<QString, int> missed;
    for (const QString &name : dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
        const QByteArray raw = readAll(dir.filePath(name));
        QByteArray expected = readAll(dir.filePath(name.chopped(4) + QStringLiteral(".expected")));
        const TextFileCodec::Decoded d = TextFileCodec::decode(raw);
        QByteArray text = d.text + "\r\n";
        text.replace("\r\n", "\n");
        expected.replace("\r\n", "\n");
        QByteArray back;
        QString error;
        // Vietnamese code pages store some letters as a base and an accent:
        // the same text, composed otherwise.
        const auto nfc = [](const QByteArray &utf8) { return QString::fromUtf8(utf8).normalized(QString::NormalizationForm_C); };
        const bool same = nfc(text) == nfc(expected);
        const bool kept = TextFileCodec::encode(d.text, d.format, true, &back, &error) && back == raw;
        ++files;
        shown += same;
        saved += kept;
        if (!same || !kept) {
            std::printf("%-28s read as %-16s%s%s\n", qPrintable(name), qPrintable(TextFileCodec::encodingName(d.format)),
                        same ? "" : "  not as written", kept ? "" : "  NOT SAVED BACK");
            missed[name.section(u'-', 0, -2)]++;
        }
    }
    std::printf("%d files: %d shown as written (%.1f %%), %d saved back byte for byte (%.1f %%)\n", files, shown,
                100.0 * shown / qMax(1, files), saved, 100.0 * saved / qMax(1, files));
    return 0;
}
