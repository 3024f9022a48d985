// The RTF reader takes anything without crashing.
#include "Harness.h"
#include "core/RtfCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    RtfCodec::fromRtf(QString::fromLatin1(fuzzBytes(data, size)));
    return 0;
}
