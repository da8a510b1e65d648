// A project's "format.txt": whatever the bytes, the reader gives a format of the table or nothing,
// and a format it gives is kept again as the same bytes.
#include "scenes/project_format.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    hxhost::VideoFormat format;
    if (!hx::decodeProjectFormat(bytes, format))
        return 0;
    const std::string kept = hx::encodeProjectFormat(format);
    hxhost::VideoFormat again;
    if (!hx::decodeProjectFormat(kept, again) || !(again == format) || hx::encodeProjectFormat(again) != kept)
        std::abort();
    return 0;
}
