// A file written under a part name beside it and renamed into place when complete; removed if never
// completed, so an interrupted or failed write leaves nothing under the user's name. The part is a new
// file of its own: two writers of one path never share it, and a user's file is never taken for it.
#ifndef HX_PART_FILE_H
#define HX_PART_FILE_H

#include <string>

namespace hx {

class PartFile {
public:
    explicit PartFile(std::string path) : path_(std::move(path)) {}
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;
    // Creates the part; its open descriptor (the caller closes it), or -1 with a reason.
    int create(std::string* error);
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
