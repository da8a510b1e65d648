#include "player/sound_output.h"

namespace hx {

std::unique_ptr<SoundOutput> SoundOutput::open(std::string& error)
{
    const SoundOutputModule* module = moduleTable<SoundOutputModule>(&error);
    return module ? module->open(error) : nullptr;
}

} // namespace hx
