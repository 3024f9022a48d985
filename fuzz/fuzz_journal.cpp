// Journals: any bytes parse or are refused without harm, and what parses
// writes back to the same entry; an entry built from the bytes, with any
// value of each format enum, comes back whole.
#include "Harness.h"
#include "core/Journal.h"

#include <QMetaEnum>

namespace {

template <typename E>
E pick(uint8_t byte)
{
    const QMetaEnum meta = QMetaEnum::fromType<E>();
    return E(meta.value(byte % meta.keyCount()));
}

bool same(const Journal::Entry &a, const Journal::Entry &b)
{
    return a.title == b.title && a.path == b.path && a.format == b.format && a.text == b.text && a.stamp == b.stamp
           && a.time == b.time;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    Journal::Entry parsed;
    if (Journal::parse(bytes, &parsed)) {
        Journal::Entry again;
        FUZZ_CHECK(Journal::parse(Journal::serialize(parsed), &again) && same(again, parsed));
    }
    if (size >= 3) {
        Journal::Entry e;
        e.format = {pick<TextFileCodec::Encoding>(data[0]), pick<TextFileCodec::LineEnd>(data[1]),
                    pick<TextFileCodec::LineEnd>(data[2])};
        const QByteArray rest = bytes.mid(3);
        const qsizetype cut = rest.indexOf('\0');
        e.title = QString::fromUtf8(rest.left(cut < 0 ? rest.size() / 2 : cut));
        e.path = QString::fromLatin1(rest.left(rest.size() / 3));
        e.text = rest;
        e.stamp = {bool(data[0] & 1), qint64(size), qint64(data[1]) << 40, data[2]};
        Journal::Entry back;
        FUZZ_CHECK(Journal::parse(Journal::serialize(e), &back));
        FUZZ_CHECK(back.title == e.title && back.path == e.path && back.format == e.format && back.text == e.text
                   && back.stamp == e.stamp);
    }
    return 0;
}
