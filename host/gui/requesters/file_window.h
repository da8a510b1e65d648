// The file requester as a person sees it: a folder's subfolders and the files of the kind asked
// for in a list, the folder above first. The person opens folders and picks a file from it.
#ifndef HX_GUI_REQUESTERS_FILE_WINDOW_H
#define HX_GUI_REQUESTERS_FILE_WINDOW_H

#include "gui/requesters/modal_window.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hx {

struct FolderEntry {
    std::string name;
    bool folder = false;
};

// The folder's entries as the requester lists them: ".." (but at the root), the subfolders, then
// the files of the kind (sound files for TX_SOUND_FILES, else every file), each group by name;
// hidden entries are left out. Empty when the folder cannot be read.
std::vector<FolderEntry> folderEntries(const std::string& folder, int32_t kind);

class FileWindow {
public:
    FileWindow(int32_t kind, const std::string& folder);
    ~FileWindow();
    FileWindow(const FileWindow&) = delete;
    FileWindow& operator=(const FileWindow&) = delete;

    bool open() const { return shown_.open(); }
    const std::string& folder() const { return folder_; }
    // Lists another folder; false, with the list as it was, when it cannot be read.
    bool showFolder(const std::string& folder);
    UgWindow* window() const { return shown_.window(); }
    uint32_t list() const { return list_; }
    // The path of a row of the list ("" when there is no such row); a folder's ends in "/".
    std::string pathOfRow(int32_t row) const;

private:
    ModalWindow shown_;
    int32_t kind_;
    std::string folder_; // without a trailing "/" but at the root
    std::vector<FolderEntry> entries_;
    uint32_t list_ = 0;
};

// The file requester on the screen, none while there is none.
FileWindow* standingFileWindow();

} // namespace hx

#endif
