// Temporaries beside the file they become: created exclusively under a name no other writer (another
// process, another thread, a file the user keeps) can share, and short enough for any valid name.
#ifndef HX_TEMPORARY_NAME_H
#define HX_TEMPORARY_NAME_H

#include <string>

namespace hx {

// Creates "<dir of path>/<at most 40 bytes of its name>.<6 random letters><ending>" with O_EXCL,
// readable and writable as the umask allows, and answers its open descriptor (the caller closes it)
// with its name in `temporary`; -1 with a reason.
int createTemporaryBeside(const std::string& path, const std::string& ending, std::string& temporary,
                          std::string* error);

} // namespace hx

#endif
