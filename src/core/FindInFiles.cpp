#include "core/FindInFiles.h"

#include "core/FileIO.h"
#include "core/TextFileCodec.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <limits>

namespace FindInFiles {

namespace {

using TextFileCodec::Encoding;

constexpr qsizetype kBinaryLook = 8192;
// Results wait for a batch of this many hits or files before being handed over.
constexpr qsizetype kBatchHits = 500;
constexpr qsizetype kBatchFiles = 32;

bool isSkippedFolder(const QString &name)
{
    static const QStringList skipped = {QStringLiteral(".git"), QStringLiteral(".hg"), QStringLiteral(".svn"),
                                        QStringLiteral(".bzr"), QStringLiteral("CVS")};
    return skipped.contains(name);
}

bool isWide(Encoding e)
{
    return e == Encoding::Utf16Le || e == Encoding::Utf16Be || e == Encoding::Utf16LeBom || e == Encoding::Utf16BeBom
        || e == Encoding::Utf32Le || e == Encoding::Utf32Be || e == Encoding::Utf32LeBom || e == Encoding::Utf32BeBom;
}

bool isBinary(const QByteArray &raw)
{
    const QByteArrayView start = QByteArrayView(raw).first(qMin(raw.size(), kBinaryLook));
    if (!start.contains('\0'))
        return false;
    return !isWide(TextFileCodec::sniff(start).encoding);
}

// The line of each match, for matches taken in order: every line break is
// looked for once, however many matches a long line has.
struct LineCounter {
    explicit LineCounter(const QString &t) : text(t) {}
    const QString &text;
    qint64 line = 1; // from 1
    qsizetype lineStart = 0;
    qsizetype next = -2; // the first break from lineStart on; -1: none; -2: not looked for

    void advanceTo(qsizetype at)
    {
        for (;;) {
            if (next == -2)
                next = text.indexOf(u'\n', lineStart);
            if (next < 0 || next >= at)
                return;
            ++line;
            lineStart = next + 1;
            next = -2;
        }
    }
    // Where the line ends, its break not counted.
    qsizetype lineEnd()
    {
        advanceTo(lineStart);
        qsizetype end = next < 0 ? text.size() : next;
        if (end > lineStart && text.at(end - 1) == u'\r')
            --end;
        return end;
    }
};

struct Walker {
    QList<QRegularExpression> patterns;
    const std::function<bool()> &stopped;
    QSet<QString> seenFolders, seenFiles;
    QStringList files;

    bool wanted(const QString &name) const
    {
        if (patterns.isEmpty())
            return true;
        for (const QRegularExpression &re : patterns)
            if (re.match(name).hasMatch())
                return true;
        return false;
    }
    void addFile(const QFileInfo &info)
    {
        // A file reached twice through links is searched once.
        const QString canonical = info.canonicalFilePath();
        if (!canonical.isEmpty() && seenFiles.contains(canonical))
            return;
        seenFiles.insert(canonical);
        files << info.filePath();
    }
    void walk(const QString &folder)
    {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (canonical.isEmpty() || seenFolders.contains(canonical))
            return;
        seenFolders.insert(canonical);
        const QFileInfoList entries =
            QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                       QDir::Name);
        QStringList folders;
        for (const QFileInfo &info : entries) {
            if (info.isDir()) {
                if (!isSkippedFolder(info.fileName()))
                    folders << info.filePath();
            } else if (wanted(info.fileName())) {
                addFile(info); // pipes and devices too: the read gate refuses them
            }
        }
        for (const QString &f : folders) {
            if (stopped())
                return;
            walk(f);
        }
    }
};

} // namespace

QStringList patternList(const QString &patterns)
{
    QStringList list;
    for (const QString &p : patterns.split(u';', Qt::SkipEmptyParts))
        if (!p.trimmed().isEmpty())
            list << p.trimmed();
    return list;
}

QStringList candidates(const Query &query, const std::function<bool()> &stopped)
{
    Walker walker{{}, stopped, {}, {}, {}};
    for (const QString &p : patternList(query.patterns))
        walker.patterns << QRegularExpression(QRegularExpression::wildcardToRegularExpression(p),
                                              QRegularExpression::CaseInsensitiveOption);
    if (!query.folder.isEmpty()) {
        walker.walk(query.folder);
    } else {
        for (const QString &f : query.files)
            if (walker.wanted(QFileInfo(f).fileName()))
                walker.addFile(QFileInfo(f));
    }
    return walker.files;
}

Hit shownHit(QStringView line, qsizetype column, qsizetype length)
{
    Hit hit;
    hit.column = column;
    hit.length = length;
    if (line.size() <= kShownChars) {
        hit.shown = line.toString();
        hit.shownAt = column;
        return hit;
    }
    qsizetype from = qMax<qsizetype>(0, column - kShownBefore);
    qsizetype to = qMin(line.size(), from + kShownChars);
    from = qMax<qsizetype>(0, to - kShownChars);
    // Never half a surrogate pair.
    if (from > 0 && line[from].isLowSurrogate())
        ++from;
    if (to < line.size() && line[to].isLowSurrogate())
        --to;
    hit.shown = (from > 0 ? QStringLiteral("…") : QString()) + line.sliced(from, to - from).toString()
        + (to < line.size() ? QStringLiteral("…") : QString());
    hit.shownAt = column - from + (from > 0 ? 1 : 0);
    return hit;
}

void run(const Query &query, const Control &control, qint64 maxKept)
{
    const TextSearch search(query.text, query.options);
    const QStringList files = candidates(query, control.stopped);
    Batch batch;
    qsizetype batchHits = 0;
    const auto handOver = [&](bool last) {
        batch.last = last;
        const Totals totals = batch.totals;
        const bool ok = control.deliver(std::move(batch));
        batch = {};
        batch.totals = totals;
        batchHits = 0;
        return ok;
    };
    Totals &totals = batch.totals;
    for (qsizetype n = 0; n < files.size(); ++n) {
        if (control.stopped())
            return;
        control.progress(n, files.size());
        QString text;
        if (const auto open = query.openTexts.constFind(FileIO::absolutePath(files[n])); open != query.openTexts.constEnd()) {
            text = *open;
        } else {
            QByteArray raw;
            if (FileIO::readWholeFile(files[n], &raw) || isBinary(raw)) {
                ++totals.skipped;
                continue;
            }
            text = TextFileCodec::decodeToString(std::move(raw));
        }
        ++totals.searched;
        const QList<TextSearch::Match> matches = search.findAll(text);
        if (matches.isEmpty())
            continue;
        FileHits file;
        file.path = files[n];
        file.matches = matches.size();
        LineCounter lines(text);
        for (const TextSearch::Match &m : matches) {
            if (totals.kept >= maxKept)
                break;
            lines.advanceTo(m.start);
            const qsizetype lineEnd = lines.lineEnd();
            const qsizetype column = m.start - lines.lineStart;
            const qsizetype length = qMin(m.length, qMax<qsizetype>(0, lineEnd - m.start));
            Hit hit = shownHit(QStringView(text).sliced(lines.lineStart, lineEnd - lines.lineStart), column, length);
            hit.line = lines.line;
            hit.length = m.length;
            file.hits << hit;
            ++totals.kept;
        }
        totals.matches += file.matches;
        ++totals.filesWithHits;
        batchHits += file.hits.size();
        batch.files << std::move(file);
        if ((batchHits >= kBatchHits || batch.files.size() >= kBatchFiles) && !handOver(false))
            return;
    }
    control.progress(files.size(), files.size());
    if (!control.stopped())
        handOver(true);
}

Replacement replaceAt(const QString &text, const TextSearch &search, const QList<Place> &places, const QString &with,
                      const std::function<bool()> &stopped)
{
    QHash<std::pair<qint64, qsizetype>, QString> wanted;
    for (const Place &p : places)
        wanted.insert({p.line, p.column}, p.shown);
    Replacement r;
    QString out;
    qsizetype copied = 0;
    LineCounter lines(text);
    const bool checked = TextSearch::isValidText(text);
    const TextSearch::Counted c = search.forEachMatch(text, std::numeric_limits<qsizetype>::max(), 4096,
                                                      [&](const QList<TextSearch::Match> &part) {
        if (stopped && stopped())
            return false;
        for (const TextSearch::Match &m : part) {
            lines.advanceTo(m.start);
            const std::pair<qint64, qsizetype> at{lines.line, m.start - lines.lineStart};
            const auto place = wanted.constFind(at);
            if (place == wanted.constEnd())
                continue;
            // The line must read as the hit showed it, not only hold a match there.
            const qsizetype lineEnd = lines.lineEnd();
            const bool same = place->isNull()
                || shownHit(QStringView(text).sliced(lines.lineStart, lineEnd - lines.lineStart), at.second,
                            qMin(m.length, qMax<qsizetype>(0, lineEnd - m.start)))
                           .shown
                       == *place;
            if (!same)
                continue;
            wanted.remove(at);
            out += QStringView(text).sliced(copied, m.start - copied);
            out += search.replacementFor(text, m, with, checked);
            copied = m.end();
            ++r.replaced;
        }
        return true;
    });
    if (c.gaveUpLine || c.stopped) {
        r.gaveUpLine = c.gaveUpLine;
        r.stopped = c.stopped;
        r.replaced = 0;
        r.missing = places.size();
        return r;
    }
    r.missing = wanted.size();
    if (r.replaced > 0) {
        out += QStringView(text).sliced(copied);
        r.text = std::move(out);
    }
    return r;
}

FileReplaced replaceInFile(const QString &path, const TextSearch &search, const QList<Place> &places, const QString &with,
                           const std::function<bool()> &stopped)
{
    FileReplaced result;
    // Taken before the read: a change from here on keeps the file as it is.
    const FileIO::Stamp stamp = FileIO::stampOf(path);
    QByteArray raw;
    if (const FileIO::Failure f = FileIO::readWholeFile(path, &raw, {}, true)) {
        result.error = f.description;
        result.missing = places.size();
        return result;
    }
    TextFileCodec::Decoded d = TextFileCodec::decode(raw, false);
    QByteArray same;
    QString error;
    if (!TextFileCodec::encode(d.text, d.format, false, &same, &error) || same != raw) {
        result.error = QStringLiteral("its text would not be written back byte for byte; open it to replace");
        result.missing = places.size();
        return result;
    }
    same = QByteArray();
    raw = QByteArray();
    const Replacement r = replaceAt(TextFileCodec::toQString(d.text), search, places, with, stopped);
    result.replaced = r.replaced;
    result.missing = r.missing;
    if (r.gaveUpLine || r.stopped) {
        result.error = r.stopped ? QStringLiteral("stopped") : QStringLiteral("the expression is too complex for line %1").arg(r.gaveUpLine);
        return result;
    }
    if (r.replaced == 0)
        return result;
    QByteArray bytes;
    if (!TextFileCodec::encode(r.text.toUtf8(), d.format, false, &bytes, &error)) {
        result.error = error;
    } else {
        FileIO::WriteOptions options;
        options.unchangedSince = &stamp;
        options.noFollow = true;
        if (const FileIO::Failure f = FileIO::writeWholeFile(path, bytes, options))
            result.error = f.code == FileIO::ChangedMeanwhile ? QStringLiteral("another program changed it since it was read")
                                                              : f.description;
    }
    if (!result.error.isEmpty()) {
        result.missing += result.replaced;
        result.replaced = 0;
    }
    return result;
}

QString summary(const Totals &totals)
{
    const QLocale english(QLocale::English);
    QString s = QStringLiteral("%1 %2 in %3 of %4 files")
                    .arg(english.toString(totals.matches),
                         totals.matches == 1 ? QStringLiteral("match") : QStringLiteral("matches"),
                         english.toString(totals.filesWithHits), english.toString(totals.searched));
    if (totals.capped())
        s += QStringLiteral(" (first %1 shown)").arg(english.toString(totals.kept));
    return s;
}

} // namespace FindInFiles
