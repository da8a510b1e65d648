#include "decode_report.h"

#include "hxhost/decode_counts.h"

#include <cstdio>
#include <string>

void printDecodeCounts()
{
    for (const auto& [file, decodes] : hxhost::stillDecodes()) {
        const size_t media = file.rfind("/media/");
        std::string sizes;
        for (const hxhost::StillDecode& decode : decodes)
            sizes += (sizes.empty() ? "" : ", ") + std::to_string(decode.width) + "x" + std::to_string(decode.height) +
                     (decode.reduced ? " small" : "");
        std::printf("decodes of %s: %zu (%s)\n", media == std::string::npos ? file.c_str() : file.c_str() + media + 1,
                    decodes.size(), sizes.c_str());
    }
}
