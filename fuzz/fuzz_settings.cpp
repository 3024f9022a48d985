// Hostile settings files: parsing takes anything, and what was parsed is
// written and read back unchanged.
#include "Harness.h"
#include "core/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const IniFile::Values values = IniFile::parse(fuzzBytes(data, size));
    FUZZ_CHECK(IniFile::parse(IniFile::serialize(values)) == values);
    return 0;
}
