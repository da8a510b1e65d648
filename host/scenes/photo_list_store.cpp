// The slideshow tool's photo list and thumbnail stamps, stored in the tool's project directory:
// "photos.hxl" (all entries, replaced atomically) and "stamp<id>.hxi" (one thumbnail each).
#include "host/hxscenes.h"

#include "image/images.h"
#include "runtime/atomic_file.h"
#include "runtime/unfinished_files.h"
#include "runtime/byte_io.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "runtime/warnings.h"
#include "scenes/scene_bin.h"
#include "scenes/stored_item_names.h"
#include "hxhost/scene_bin.h"
#include "hxhost/setup.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <unistd.h>
#include <vector>

namespace {

constexpr char kListMagic[4] = {'H', 'X', 'P', 'L'};
constexpr char kStampMagic[4] = {'H', 'X', 'S', 'T'};
constexpr uint32_t kListVersion = 1;
constexpr uint32_t kFieldsPerEntry = 16;
constexpr uint32_t kMaxEntries = 100000;
constexpr size_t kMaxStampBytes = 64u << 20;

using EntryFields = std::array<uint32_t, kFieldsPerEntry>;

std::string listPath(const char* directory)
{
    return std::string(directory) + "/photos.hxl";
}

std::string stampFile(const char* directory, uint32_t id)
{
    return std::string(directory) + "/stamp" + std::to_string(id) + ".hxi";
}

bool usableDirectory(const char* directory)
{
    return directory && *directory;
}

std::string encodeEntry(const PhotoEntry& e)
{
    std::string out;
    const uint32_t fields[kFieldsPerEntry] = {
        e.id, hxhost::itemOfRecord(e.source), hxhost::itemOfRecord(e.clip), static_cast<uint32_t>(e.rotation),
        static_cast<uint32_t>(e.mirrored), e.cropX, e.cropY, e.cropWidth, e.cropHeight,
        static_cast<uint32_t>(e.brightness), static_cast<uint32_t>(e.contrast), static_cast<uint32_t>(e.saturation),
        static_cast<uint32_t>(e.gamma), static_cast<uint32_t>(e.included), static_cast<uint32_t>(e.duration), 0};
    for (uint32_t field : fields)
        hx::putU32(out, field);
    return out;
}

PhotoEntry* decodeEntry(const EntryFields& f)
{
    auto* e = static_cast<PhotoEntry*>(std::calloc(1, sizeof(PhotoEntry)));
    if (!e)
        return nullptr;
    e->id = f[0];
    e->source = f[1] ? hx::newRecordCopy(f[1]) : 0;
    e->clip = f[2] ? hx::newRecordCopy(f[2]) : 0;
    e->rotation = static_cast<int16_t>(f[3]);
    e->mirrored = static_cast<int32_t>(f[4]);
    e->cropX = static_cast<uint16_t>(f[5]);
    e->cropY = static_cast<uint16_t>(f[6]);
    e->cropWidth = static_cast<uint16_t>(f[7]);
    e->cropHeight = static_cast<uint16_t>(f[8]);
    e->brightness = static_cast<int32_t>(f[9]);
    e->contrast = static_cast<int32_t>(f[10]);
    e->saturation = static_cast<int32_t>(f[11]);
    e->gamma = static_cast<int32_t>(f[12]);
    e->included = static_cast<int32_t>(f[13]);
    e->duration = static_cast<int32_t>(f[14]);
    return e;
}

OpImage* readStamp(const char* directory, uint32_t id)
{
    std::string bytes;
    if (!hx::readWholeFile(stampFile(directory, id), bytes, kMaxStampBytes) || bytes.size() < 20 ||
        std::memcmp(bytes.data(), kStampMagic, 4) != 0)
        return nullptr;
    size_t offset = 4;
    uint32_t width = 0, height = 0, format = 0, aspect = 0;
    hx::getU32(bytes, offset, width);
    hx::getU32(bytes, offset, height);
    hx::getU32(bytes, offset, format);
    hx::getU32(bytes, offset, aspect);
    if (width == 0 || height == 0 || width > 32767 || height > 32767)
        return nullptr;
    const size_t pixels = hx::imageBytes(static_cast<int32_t>(width), static_cast<int32_t>(height), format);
    if (pixels == 0 || bytes.size() - offset != pixels)
        return nullptr;
    OpImage* image = hx::newImage(static_cast<int32_t>(width), static_cast<int32_t>(height), format);
    if (!image)
        return nullptr;
    image->aspect = static_cast<uint16_t>(aspect);
    std::memcpy(image->planes[0], bytes.data() + offset, pixels);
    return image;
}

bool writeStamp(const char* directory, uint32_t id, const OpImage* image)
{
    if (!hx::isLiveImage(image) || !image->planes[0])
        return false;
    const std::string path = stampFile(directory, id);
    if (access(path.c_str(), F_OK) == 0)
        return true; // a stamp is dropped whenever its thumbnail changes, so one on disk is current
    std::string bytes(kStampMagic, 4);
    hx::putU32(bytes, static_cast<uint32_t>(image->width));
    hx::putU32(bytes, static_cast<uint32_t>(image->height));
    hx::putU32(bytes, image->format);
    hx::putU32(bytes, image->aspect);
    bytes.append(reinterpret_cast<const char*>(image->planes[0]), hx::imageBytes(image->width, image->height, image->format));
    return hx::writeFileAtomically(path, bytes);
}

void releaseEntry(PhotoEntry* entry)
{
    hx::deleteRecord(entry->source);
    hx::deleteRecord(entry->clip);
    hx::freeImage(entry->thumbnail);
    std::free(entry);
}

void freeEntries(ListHead& list)
{
    while (auto* entry = static_cast<PhotoEntry*>(ListFirst(&list))) {
        ListRemove(&list, entry);
        releaseEntry(entry);
    }
}

// One stored entry's fields as written; damage that keeps the length shows here.
bool entryChecks(const EntryFields& f)
{
    const auto percent = [](uint32_t field) { return static_cast<int32_t>(field) >= 0 && static_cast<int32_t>(field) <= 200; };
    const int32_t gamma = static_cast<int32_t>(f[12]);
    return f[0] != 0 && (f[3] == 0 || f[3] == 90 || f[3] == 180 || f[3] == 270) && percent(f[9]) && percent(f[10]) &&
           percent(f[11]) && gamma >= -100 && gamma <= 100 && f[13] <= 1 && static_cast<int32_t>(f[14]) > 0 && f[15] == 0;
}

struct StoredEntries {
    std::vector<EntryFields> entries; // the whole entries before any damage
    bool whole = false;               // the file is a list, undamaged
};

// The entries of the stored list at `path`: a list cut short or damaged part-way gives the entries
// before the damage, those with a repeated id or a field out of its range among the damage.
StoredEntries storedEntries(const std::string& path)
{
    const size_t limit = 12 + static_cast<size_t>(kMaxEntries) * kFieldsPerEntry * 4;
    StoredEntries out;
    std::string bytes;
    uint32_t version = 0, count = 0;
    size_t offset = 4;
    if (!hx::readWholeFile(path, bytes, limit) || bytes.size() < 12 || std::memcmp(bytes.data(), kListMagic, 4) != 0 ||
        !hx::getU32(bytes, offset, version) || version != kListVersion || !hx::getU32(bytes, offset, count))
        return out;
    const size_t present = (bytes.size() - offset) / (kFieldsPerEntry * 4);
    std::set<uint32_t> ids;
    for (size_t i = 0; i < std::min<size_t>(count, present); ++i) {
        EntryFields fields;
        for (uint32_t& field : fields)
            hx::getU32(bytes, offset, field);
        if (!entryChecks(fields) || !ids.insert(fields[0]).second)
            return out;
        out.entries.push_back(fields);
    }
    out.whole = count <= kMaxEntries && bytes.size() - 12 == static_cast<size_t>(count) * kFieldsPerEntry * 4;
    return out;
}

// The stored entries into `list`; false when no entry could be made (no memory).
bool makeEntries(const char* directory, const StoredEntries& stored, ListHead& list)
{
    for (const auto& fields : stored.entries) {
        PhotoEntry* entry = decodeEntry(fields);
        if (!entry)
            return false;
        entry->thumbnail = readStamp(directory, entry->id);
        // Identifiers of stored entries come from earlier sessions; new ones must not repeat them.
        hx::state().nextUniqueId = std::max(hx::state().nextUniqueId, entry->id);
        ListAppend(&list, entry);
    }
    return true;
}

} // namespace

namespace hx {

uint32_t highestItemInPhotoLists(const std::string& directory)
{
    uint32_t highest = 0;
    std::error_code error;
    for (const auto& file : std::filesystem::directory_iterator(directory, error)) {
        if (file.path().filename().string().rfind("photos.hxl", 0) != 0)
            continue; // the list, and the lists set aside beside it
        for (const EntryFields& fields : storedEntries(file.path().string()).entries)
            highest = std::max({highest, fields[1], fields[2]});
    }
    return highest;
}

} // namespace hx

namespace hxhost {

std::string photoListPath(const std::string& directory)
{
    return listPath(directory.c_str());
}

std::string stampPath(const std::string& directory, uint32_t id)
{
    return stampFile(directory.c_str(), id);
}

} // namespace hxhost

extern "C" {

int32_t nslReadStillsetProject(const char* directory, ListHead* list) HX_ENTRY
{
    const bool injected = hx::shouldFail("nslReadStillsetProject");
    if (!usableDirectory(directory) || !list)
        return -1;
    hx::removeStaleTemporaries(directory); // what a run that was killed while storing left
    const std::string path = listPath(directory);
    if (access(path.c_str(), F_OK) != 0)
        return injected ? -1 : 0; // a project without a stored list has no photos yet
    const StoredEntries stored = injected ? StoredEntries{} : storedEntries(path);
    ListHead read;
    ListInit(&read);
    if (!makeEntries(directory, stored, read))
        freeEntries(read); // a list that cannot be held whole is kept aside whole
    const int32_t kept = ListCount(&read);
    while (auto* entry = static_cast<PhotoEntry*>(ListFirst(&read))) {
        ListRemove(&read, entry);
        ListAppend(list, entry);
    }
    if (stored.whole && kept == static_cast<int32_t>(stored.entries.size()))
        return 0;
    // Whatever made the read fail, the program may store a new list next: keep this one aside,
    // so that writing it destroys nothing that may be recovered.
    std::string aside;
    if (hx::setFileAside(path, ".damaged", &aside))
        hx::warnUser("the stored photo list " + path + " was damaged; whole entries kept from before the damage: " +
                     std::to_string(kept) + "; the file was set aside as " + aside);
    return -1;
}
HX_ENTRY_FAILS(-1)

int32_t nslWriteStillsetProject(const char* directory, ListHead* list, int32_t flags) HX_ENTRY
{
    if (hx::shouldFail("nslWriteStillsetProject") || !usableDirectory(directory) || !list)
        return -1;
    std::string bytes(kListMagic, 4);
    hx::putU32(bytes, kListVersion);
    hx::putU32(bytes, static_cast<uint32_t>(ListCount(list)));
    for (auto* entry = static_cast<PhotoEntry*>(ListFirst(list)); entry;
         entry = static_cast<PhotoEntry*>(ListNext(entry))) {
        bytes += encodeEntry(*entry);
        if ((flags & 1) && entry->thumbnail)
            writeStamp(directory, entry->id, entry->thumbnail);
    }
    return hx::writeFileAtomically(listPath(directory), bytes) ? 0 : -1;
}
HX_ENTRY_FAILS(-1)

int32_t nslFreeStillsetProject(const char* directory, ListHead* list, int32_t flags) HX_ENTRY
{
    hx::countCall("nslFreeStillsetProject");
    if (!list)
        return -1;
    const bool discard = (flags & NSL_FREE_DISCARD) && usableDirectory(directory);
    // Set aside rather than deleted, so that a discarded list can still be recovered by hand; its
    // stamps go only once the list is out of the way (a list that stays keeps its thumbnails).
    const std::string path = discard ? listPath(directory) : std::string();
    const bool listGone = discard && (access(path.c_str(), F_OK) != 0 || hx::setFileAside(path, ".discarded"));
    while (auto* entry = static_cast<PhotoEntry*>(ListFirst(list))) {
        ListRemove(list, entry);
        if (listGone)
            unlink(stampFile(directory, entry->id).c_str());
        releaseEntry(entry);
    }
    return 0;
}
HX_ENTRY_FAILS(-1)

int32_t nslDeleteStillsetStamp(const char* directory, const PhotoEntry* entry) HX_ENTRY
{
    if (hx::shouldFail("nslDeleteStillsetStamp") || !usableDirectory(directory) || !entry)
        return -1;
    unlink(stampFile(directory, entry->id).c_str());
    return 0;
}
HX_ENTRY_FAILS(-1)

} // extern "C"
