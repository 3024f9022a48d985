// Project files: any bytes give a list of paths, none of them empty, and
// none with blanks around it unless that whole name is a file.
#include "Harness.h"
#include "core/ProjectList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    for (const QString &path : ProjectList::parse(fuzzBytes(data, size)))
        FUZZ_CHECK(!path.isEmpty() && ((!path.startsWith(u' ') && !path.endsWith(u' ')) || ProjectList::exists(path)));
    return 0;
}
