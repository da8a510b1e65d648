#include "chooser_state.h"

#include <cstring>

ChooserState choosers;

void resetChoosers()
{
    std::memset(&choosers, 0, sizeof choosers);
}
