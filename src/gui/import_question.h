// The question a session with an empty photo list starts with.
#ifndef STILLSET_GUI_IMPORT_QUESTION_H
#define STILLSET_GUI_IMPORT_QUESTION_H

#include <cstdint>

// Asks whether to import the scene bin's photos and imports them on yes. Always 0.
int32_t askImportWhenEmpty();

#endif
