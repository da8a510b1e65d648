// A folder of the run's own under $TMPDIR (or /tmp), removed when the run ends, interrupted or not.
#ifndef STILLSET_HOST_RUN_FOLDER_H
#define STILLSET_HOST_RUN_FOLDER_H

#include <string>

class RunFolder {
public:
    RunFolder() = default;
    ~RunFolder();
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;
    // Makes "<tmp>/<prefix>-XXXXXX"; false with a one-line error.
    bool make(const std::string& prefix, std::string& error);
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

#endif
