// A file written under its name plus ".part" and renamed into place when complete; removed if never
// completed, so an interrupted or failed write leaves nothing under the user's name.
#ifndef HX_PART_FILE_H
#define HX_PART_FILE_H

#include <string>

namespace hx {

class PartFile {
public:
    explicit PartFile(std::string path) : path_(std::move(path)), part_(path_ + ".part") {}
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;
    const std::string& path() const { return path_; }
    const std::string& part() const { return part_; }
    // Renames the finished part into place; false with a reason (the part is removed then).
    bool commit(std::string* error);

private:
    std::string path_, part_;
    bool committed_ = false;
};

} // namespace hx

#endif
