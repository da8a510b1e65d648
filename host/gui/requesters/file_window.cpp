#include "gui/requesters/file_window.h"

#include "gui/font.h"
#include "gui/gadget_look.h"
#include "gui/screen.h"
#include "host/hxtx.h"
#include "text/utf.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>

namespace hx {

namespace {

FileWindow*& standing()
{
    static FileWindow* shown = nullptr;
    return shown;
}

bool isSoundFile(const std::string& name)
{
    static const std::array<std::string, 14> kExtensions{".wav", ".flac", ".mp3", ".ogg", ".oga", ".opus", ".m4a",
                                                         ".aac", ".wma", ".mka", ".aif", ".aiff", ".caf", ".wv"};
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return std::any_of(kExtensions.begin(), kExtensions.end(), [&](const std::string& extension) {
        return lower.size() > extension.size() && lower.compare(lower.size() - extension.size(), extension.size(), extension) == 0;
    });
}

std::string joined(const std::string& folder, const std::string& name)
{
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// The folder without its trailing "/", and ".." taken away with the name before it.
std::string cleaned(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (folder.size() >= 3 && folder.compare(folder.size() - 3, 3, "/..") == 0) {
        folder.erase(folder.size() - 3);
        const size_t slash = folder.find_last_of('/');
        folder = slash == std::string::npos || slash == 0 ? "/" : folder.substr(0, slash);
    }
    return folder.empty() ? "/" : folder;
}

int32_t margin()
{
    return convertWidth(12);
}

} // namespace

std::vector<FolderEntry> folderEntries(const std::string& folder, int32_t kind)
{
    std::vector<FolderEntry> folders, files;
    DIR* listing = opendir(folder.c_str());
    if (!listing)
        return {};
    while (const dirent* entry = readdir(listing)) {
        const std::string name = entry->d_name;
        if (name.empty() || name[0] == '.' || folders.size() + files.size() >= kMaxItems - 1)
            continue;
        struct stat info{};
        if (stat(joined(folder, name).c_str(), &info) != 0)
            continue;
        if (S_ISDIR(info.st_mode))
            folders.push_back({name, true});
        else if (S_ISREG(info.st_mode) && (kind != TX_SOUND_FILES || isSoundFile(name)))
            files.push_back({name, false});
    }
    closedir(listing);
    const auto byName = [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    std::vector<FolderEntry> entries;
    if (folder != "/")
        entries.push_back({"..", true});
    entries.insert(entries.end(), folders.begin(), folders.end());
    entries.insert(entries.end(), files.begin(), files.end());
    return entries;
}

FileWindow::FileWindow(int32_t kind, const std::string& folder)
    : shown_(kind == TX_SOUND_FILES ? u"Choose a sound file" : u"Choose a file", screenConfig().width / 3,
             screenConfig().height / 2),
      kind_(kind)
{
    if (!shown_.open())
        return;
    UgWindow* window = shown_.window();
    const int32_t listHeight = window->contentHeight - 3 * margin() - modalButtonHeight();
    if (Gadget* list = addGadget(window, GadgetKind::ListView, margin(), margin(), window->contentWidth - 2 * margin(), listHeight))
        list_ = list->id;
    if (!showFolder(folder))
        showFolder("/");
    shown_.addButtons({u"Cancel", u"Open"}, 1, 0);
    shown_.shown();
    standing() = this;
}

FileWindow::~FileWindow()
{
    if (standing() == this)
        standing() = nullptr;
}

bool FileWindow::showFolder(const std::string& folder)
{
    const std::string wanted = cleaned(folder);
    struct stat info{};
    if (stat(wanted.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    Gadget* list = findGadget(shown_.window(), list_);
    if (!list)
        return false;
    folder_ = wanted;
    entries_ = folderEntries(folder_, kind_);
    list->items.clear();
    for (const FolderEntry& entry : entries_) {
        Item item;
        item.text = utf8To16(entry.folder ? entry.name + "/" : entry.name);
        list->items.push_back(std::move(item));
    }
    list->selected = -1;
    list->firstRow = 0;
    paintGadget(shown_.window(), *list);
    return true;
}

std::string FileWindow::pathOfRow(int32_t row) const
{
    if (row < 0 || row >= static_cast<int32_t>(entries_.size()))
        return {};
    const FolderEntry& entry = entries_[static_cast<size_t>(row)];
    if (entry.name == "..") {
        const std::string parent = cleaned(joined(folder_, ".."));
        return parent == "/" ? parent : parent + "/";
    }
    return joined(folder_, entry.name) + (entry.folder ? "/" : "");
}

FileWindow* standingFileWindow()
{
    return standing();
}

} // namespace hx
