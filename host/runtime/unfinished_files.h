// Files and folders this process is still making (temporaries, copies not yet stored with the
// project): an interrupted run removes them before it ends, so it leaves nothing half-made behind.
// Creating, renaming and noting happen under one lock, so that a removal running on another thread
// never misses a file created the moment before.
#ifndef HX_UNFINISHED_FILES_H
#define HX_UNFINISHED_FILES_H

#include <sys/types.h>

#include <mutex>
#include <string>

namespace hx {

// createTemporaryBeside's file for a stored file's temporary, its name ending in ".tmp<pid>", noted as
// unfinished; -1 with a reason, also once the removal has run.
int createUnfinishedBeside(const std::string& path, std::string& temporary, std::string* error);
// rename(2); `from` is forgotten, and `to` noted when `toStaysUnfinished`.
bool renameUnfinished(const std::string& from, const std::string& to, bool toStaysUnfinished);
// mkdir(2), refused (ECANCELED) once the removal has run: a folder it removed is not made again.
int makeFolder(const std::string& path, mode_t mode);
// mkdtemp(3) of a folder noted as unfinished; false once the removal has run.
bool makeUnfinishedFolder(std::string& pattern);
void forgetUnfinished(const std::string& path);
// While held, no removal runs: for storing a file and forgetting the files it makes part of the
// project as one step. The calls above may be made while it is held.
std::unique_lock<std::recursive_mutex> holdUnfinishedFiles();

// Removes, in `directory` and the folders below it, the temporaries of processes that are gone; those
// of a running process stay.
void removeStaleTemporaries(const std::string& directory);

} // namespace hx

#endif
