// The text codec: any bytes decode to a text and a format that encode back
// to exactly those bytes.
#include "Harness.h"
#include "core/TextFileCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray raw = fuzzBytes(data, size);
    const TextFileCodec::Decoded d = TextFileCodec::decode(raw, false);
    QByteArray out;
    QString error;
    FUZZ_CHECK(TextFileCodec::encode(d.text, d.format, false, &out, &error));
    FUZZ_CHECK(out == raw);
    return 0;
}
