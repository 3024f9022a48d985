// Any text written as RTF reads back as the same text.
#include "Harness.h"
#include "core/RtfCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(fuzzBytes(data, size));
    FUZZ_CHECK(RtfCodec::fromRtf(RtfCodec::toRtf(text)) == text);
    return 0;
}
