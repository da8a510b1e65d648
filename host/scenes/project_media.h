// Files the project keeps its own copies of ("media/<name>" in the project's directory), so that it
// keeps working when the originals move, change or go.
#ifndef HX_PROJECT_MEDIA_H
#define HX_PROJECT_MEDIA_H

#include <cstddef>
#include <string>

namespace hx {

constexpr size_t kMaxMediaBytes = 512u << 20;

// "a/b.jpg": "b.jpg"; and its name without the extension: "b".
std::string baseName(const std::string& path);
std::string stemOf(const std::string& name);

// Stores `bytes` under a free name "media/<name>", numbered when the name is taken; the name in `media`.
bool storeMedia(const std::string& name, const std::string& bytes, std::string& media, std::string* error);
// Copies a file into the project's media; its stored name in `media`.
bool copyIntoProject(const std::string& path, std::string& media, std::string* error);
// The same, except that a copy of the same name holding the same bytes is used again rather than
// copied once more (a jingle is added at every transition of every build).
bool keepInProject(const std::string& path, std::string& media, std::string* error);
// A stored file name as a path: "media/..." lies in the active project, an absolute name (as older
// projects kept their jingles) stays as it is.
std::string projectFilePath(const std::string& stored);

} // namespace hx

#endif
