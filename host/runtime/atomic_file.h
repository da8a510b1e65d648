// Files the host stores are replaced atomically: a crash leaves the old or the new content. The
// temporary is a new file of this writer's own, and the file follows the umask.
#ifndef HX_ATOMIC_FILE_H
#define HX_ATOMIC_FILE_H

#include <string>

namespace hx {

bool writeFileAtomically(const std::string& path, const std::string& bytes, std::string* error = nullptr);
// The same for a file that belongs to the project only once the project is stored (a photo copied into
// its media): an interrupted run removes it until then.
bool writeUnstoredFile(const std::string& path, const std::string& bytes, std::string* error = nullptr);
// The same, except that a file already holding exactly these bytes is left as it is: installing
// again costs a read, not a write and a flush to the disk.
bool writeFileUnlessSame(const std::string& path, const std::string& bytes, std::string* error = nullptr);
// Whole file; false with a reason when it cannot be read, is not a regular file (a FIFO is refused
// at once, never waited on) or is larger than `limit` bytes.
bool readWholeFile(const std::string& path, std::string& bytes, size_t limit, std::string* reason = nullptr);
// Moves a file out of the way to "<path><suffix>", or "<path><suffix>.<n>" when that is taken, so that
// nothing set aside earlier is overwritten; `asidePath` receives where it went.
bool setFileAside(const std::string& path, const std::string& suffix, std::string* asidePath = nullptr);
// Creates a directory and its parents; an existing directory is fine.
bool makeDirectories(const std::string& path);

} // namespace hx

#endif
