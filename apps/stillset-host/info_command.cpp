// stillset-host info PLUGIN: the description tag list of a plug-in, and the slideshow tool's version.
#include "commands.h"
#include "options.h"
#include "plugin.h"

#include <cinttypes>
#include <cstdio>

namespace {

const char kHelp[] =
    "usage: stillset-host info PLUGIN\n"
    "\n"
    "Loads the operator plug-in PLUGIN (a shared library) and prints its description tag list.\n"
    "For the slideshow tool it also prints stillsetVersion for the selectors 0, 1, 2 and -1.\n";

void printTag(const OperatorTag& tag)
{
    const uintptr_t number = tag.tag & 0xFF;
    std::printf("OPE%-3" PRIuPTR " 0x%08" PRIXPTR "  ", number, static_cast<uintptr_t>(tag.tag));
    switch (tag.tag) {
    case OPE_IDENT:
        std::printf("\"%s\"\n", reinterpret_cast<const char*>(tag.value));
        break;
    case OPE_ACTION:
        std::printf("entry point\n");
        break;
    case OPE_RECORD: {
        const auto* record = reinterpret_cast<const unsigned char*>(tag.value);
        const auto word16 = [&](int at) { return record[at] | (record[at + 1] << 8); };
        const auto word32 = [&](int at) { return static_cast<uint32_t>(word16(at) | (word16(at + 2) << 16)); };
        std::printf("operator record: %d %d %" PRIu32 "\n", word16(0), word16(2), word32(4));
        break;
    }
    default:
        std::printf("%" PRIuPTR " (0x%" PRIXPTR ")\n", static_cast<uintptr_t>(tag.value),
                    static_cast<uintptr_t>(tag.value));
        break;
    }
}

} // namespace

const OptionTable& infoOptions()
{
    static const OptionTable none;
    return none;
}

int runInfo(const Arguments& arguments)
{
    const std::string command = "info";
    Options options(command, infoOptions());
    if (const int status = parseCommand(options, arguments, kHelp); status >= 0)
        return status;
    if (options.positional().size() != 1)
        return usageError(command, "give exactly one plug-in path" + tryHelp(command));
    Plugin plugin;
    std::string error;
    if (!plugin.load(options.positional()[0], error))
        return runFailure(command, error);
    std::printf("description of %s:\n", options.positional()[0].c_str());
    for (const OperatorTag* tag = plugin.description(); tag->tag != OPE_END; ++tag)
        printTag(*tag);
    std::printf("end of list\n");
    using VersionFn = int32_t (*)(uint32_t);
    if (auto version = reinterpret_cast<VersionFn>(plugin.symbol("stillsetVersion"))) {
        std::printf("stillsetVersion: 0 -> %d, 1 -> %d, 2 -> %d, -1 -> %d\n", version(0), version(1), version(2),
                    version(0xFFFFFFFFu));
    }
    return 0;
}
