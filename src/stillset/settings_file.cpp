// "slset.dat": the settings, the chosen transitions and effects with their preference blocks, and
// the jingle, as little-endian 32-bit fields. The file is replaced atomically: the new content goes
// to a temporary file in the same directory, which then takes the old file's place.
#include "settings.h"

#include "log.h"
#include "operator_list_node.h"
#include "session.h"
#include "string_ids.h"
#include "time_units.h"

#include "host/hxscenes.h"
#include "host/hxtext.h"
#include "platform/crt.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

// Sane bounds for what a file may claim; a larger value is treated like a short read.
constexpr uint32_t kMaxNameBytes = 4096;
constexpr uint32_t kMaxPrefsBytes = 1u << 20;
constexpr uint32_t kMaxRecords = 4096;
constexpr uint32_t kMaxJingleChars = 4096;

constexpr size_t kPathSize = kProjectDirSize + 32;

// The two operator lists share one record format, but each field of each list, read or written,
// logs at a line of its own below, so that a log entry names the list, the field and the direction.
struct RecordLines {
    int count, nameLength, name, variant, prefsSize, prefs;
    int noMemory = 0; // reading only
};
constexpr RecordLines kTransitionsWritten = {
    __LINE__, // transition count
    __LINE__, // transition name length
    __LINE__, // transition name
    __LINE__, // transition variant
    __LINE__, // transition block size
    __LINE__, // transition block
};
constexpr RecordLines kEffectsWritten = {
    __LINE__, // effect count
    __LINE__, // effect name length
    __LINE__, // effect name
    __LINE__, // effect variant
    __LINE__, // effect block size
    __LINE__, // effect block
};
constexpr RecordLines kTransitionsRead = {
    __LINE__, // transition count
    __LINE__, // transition name length
    __LINE__, // transition name, or no memory for it
    __LINE__, // transition variant
    __LINE__, // transition block size
    __LINE__, // transition block, or no memory for it
    __LINE__, // no memory for a transition record
};
constexpr RecordLines kEffectsRead = {
    __LINE__, // effect count
    __LINE__, // effect name length
    __LINE__, // effect name, or no memory for it
    __LINE__, // effect variant
    __LINE__, // effect block size
    __LINE__, // effect block, or no memory for it
    __LINE__, // no memory for an effect record
};

bool settingsPath(char (&path)[kPathSize], const char* projectDir, const char* suffix)
{
    const int n = std::snprintf(path, sizeof path, "%s/slset.dat%s", projectDir, suffix);
    return n > 0 && static_cast<size_t>(n) < sizeof path;
}

// Field-by-field output; a failed field logs at the line of its call, so the entry names the field.
class FieldWriter {
public:
    explicit FieldWriter(int fd) : fd_(fd) {}
    bool bytes(const void* data, size_t size, int line)
    {
        if (failed_)
            return false;
        if (size > 0 && crt::_write(fd_, data, static_cast<unsigned int>(size)) != static_cast<int>(size)) {
            loggerMessage(HXLOG_FAILURE, line, kStillsetSource, kStillsetModule, " ");
            failed_ = true;
        }
        return !failed_;
    }
    bool word(uint32_t value, int line)
    {
        const unsigned char le[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                     static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
        return bytes(le, sizeof le, line);
    }
    bool failed() const { return failed_; }

private:
    int fd_;
    bool failed_ = false;
};

#define WRITE_WORD(writer, value) (writer).word(static_cast<uint32_t>(value), __LINE__)
#define WRITE_BYTES(writer, data, size) (writer).bytes((data), (size), __LINE__)

void writeOperatorRecords(FieldWriter& out, const ListHead& list, const RecordLines& lines)
{
    out.word(ListCount(&list), lines.count);
    for (auto* entry = static_cast<OperatorEntry*>(ListFirst(&list)); entry && !out.failed();
         entry = static_cast<OperatorEntry*>(ListNext(entry))) {
        const size_t nameLength = entry->name ? std::strlen(entry->name) : 0;
        out.word(static_cast<uint32_t>(nameLength), lines.nameLength);
        out.bytes(entry->name, nameLength, lines.name);
        out.word(entry->variant, lines.variant);
        const uint32_t prefsSize = entry->prefs ? entry->prefsSize : 0;
        out.word(prefsSize, lines.prefsSize);
        out.bytes(entry->prefs, prefsSize, lines.prefs);
    }
}

void writeJingleName(FieldWriter& out, const hxchar* name)
{
    const int32_t length = name ? xcslen(name) : 0;
    WRITE_WORD(out, length);
    for (int32_t i = 0; i < length && !out.failed(); ++i) {
        const unsigned char le[2] = {static_cast<unsigned char>(name[i]), static_cast<unsigned char>(name[i] >> 8)};
        WRITE_BYTES(out, le, 2);
    }
}

// Field-by-field input; a short read, or a value beyond its bound, logs at the line of its call.
class FieldReader {
public:
    explicit FieldReader(int fd) : fd_(fd) {}
    bool bytes(void* data, size_t size, int line)
    {
        if (size > 0 && crt::_read(fd_, data, static_cast<unsigned int>(size)) != static_cast<int>(size))
            return fail(line);
        return true;
    }
    bool word(uint32_t& value, int line)
    {
        unsigned char le[4];
        if (!bytes(le, sizeof le, line))
            return false;
        value = le[0] | (le[1] << 8) | (le[2] << 16) | (static_cast<uint32_t>(le[3]) << 24);
        return true;
    }
    bool bounded(uint32_t& value, uint32_t limit, int line) { return word(value, line) && (value <= limit || fail(line)); }
    bool signedWord(int32_t& value, int line)
    {
        uint32_t raw;
        if (!word(raw, line))
            return false;
        value = static_cast<int32_t>(raw);
        return true;
    }
    static bool fail(int line)
    {
        loggerMessage(HXLOG_FAILURE, line, kStillsetSource, kStillsetModule, " ");
        return false;
    }

private:
    int fd_;
};

#define READ_WORD(reader, value) (reader).signedWord((value), __LINE__)
#define READ_BOUNDED(reader, value, limit) (reader).bounded((value), (limit), __LINE__)
#define READ_BYTES(reader, data, size) (reader).bytes((data), (size), __LINE__)
#define READ_FAILED() FieldReader::fail(__LINE__)

enum class ReadResult { Ok, Defaults, OutOfMemory };

// Reads M operator records into `list`; records read completely stay there whatever follows.
ReadResult readOperatorRecords(FieldReader& in, ListHead& list, const RecordLines& lines)
{
    uint32_t count = 0;
    if (!in.bounded(count, kMaxRecords, lines.count))
        return ReadResult::Defaults;
    for (uint32_t i = 0; i < count; ++i) {
        auto* entry = static_cast<OperatorEntry*>(std::calloc(1, sizeof(OperatorEntry)));
        if (!entry) {
            FieldReader::fail(lines.noMemory);
            return ReadResult::OutOfMemory;
        }
        uint32_t nameLength = 0;
        bool ok = in.bounded(nameLength, kMaxNameBytes, lines.nameLength);
        if (ok && !(entry->name = static_cast<char*>(std::malloc(nameLength + 1))))
            ok = FieldReader::fail(lines.name);
        ok = ok && in.bytes(entry->name, nameLength, lines.name);
        if (ok)
            entry->name[nameLength] = '\0';
        ok = ok && in.word(entry->variant, lines.variant) && in.bounded(entry->prefsSize, kMaxPrefsBytes, lines.prefsSize);
        if (ok && entry->prefsSize > 0) {
            entry->prefs = std::malloc(entry->prefsSize);
            ok = entry->prefs ? in.bytes(entry->prefs, entry->prefsSize, lines.prefs) : FieldReader::fail(lines.prefs);
        }
        if (!ok) {
            freeOperatorEntry(entry);
            return ReadResult::Defaults;
        }
        ListAppend(&list, entry);
    }
    return ReadResult::Ok;
}

ReadResult readJingle(FieldReader& in, Settings& s)
{
    uint32_t fileLength = 0;
    if (!READ_BOUNDED(in, fileLength, kMaxNameBytes))
        return ReadResult::Defaults;
    if (fileLength > 0) {
        if (!(s.jingleFile = static_cast<char*>(std::malloc(fileLength + 1))))
            return READ_FAILED(), ReadResult::Defaults;
        if (!READ_BYTES(in, s.jingleFile, fileLength))
            return ReadResult::Defaults;
        s.jingleFile[fileLength] = '\0';
    }
    uint32_t nameLength = 0;
    if (!READ_BOUNDED(in, nameLength, kMaxJingleChars))
        return ReadResult::Defaults;
    if (nameLength > 0) {
        if (!(s.jingleName = static_cast<hxchar*>(std::malloc(2 * nameLength + 2))))
            return READ_FAILED(), ReadResult::Defaults;
        for (uint32_t i = 0; i < nameLength; ++i) {
            unsigned char le[2];
            if (!READ_BYTES(in, le, 2))
                return ReadResult::Defaults;
            s.jingleName[i] = static_cast<hxchar>(le[0] | (le[1] << 8));
        }
        s.jingleName[nameLength] = 0;
    }
    return ReadResult::Ok;
}

ReadResult readFields(FieldReader& in, uint32_t version, Settings& s)
{
    if (!READ_WORD(in, s.defaultDurationCode))
        return ReadResult::Defaults;
    s.defaultDuration = durationFrames(s.defaultDurationCode);
    // One field a line: a failed read logs the line of its field.
    if (!READ_WORD(in, s.reservedA) ||
        !READ_WORD(in, s.thumbSize) ||
        !READ_WORD(in, s.transitionsEnabled) ||
        !READ_WORD(in, s.transitionLengthCode) ||
        !READ_WORD(in, s.transitionOrder) ||
        !READ_WORD(in, s.transitionRepeatCode))
        return ReadResult::Defaults;
    ReadResult result = readOperatorRecords(in, session.transitionList, kTransitionsRead);
    if (result != ReadResult::Ok)
        return result;
    if (ListCount(&session.transitionList) == 0)
        s.transitionsEnabled = 0;
    if ((result = readJingle(in, s)) != ReadResult::Ok)
        return result;
    if (!READ_WORD(in, s.effectsEnabled) ||
        !READ_WORD(in, s.effectOrder) ||
        !READ_WORD(in, s.effectRepeatCode))
        return ReadResult::Defaults;
    if ((result = readOperatorRecords(in, session.effectList, kEffectsRead)) != ReadResult::Ok)
        return result;
    if (ListCount(&session.effectList) == 0)
        s.effectsEnabled = 0;
    s.gridPosition = 0;
    s.replaceStoryboard = 1;
    s.reservedB = 0;
    if (version >= 3 && !READ_WORD(in, s.gridPosition))
        return ReadResult::Defaults;
    if (version >= 4 && !READ_WORD(in, s.replaceStoryboard))
        return ReadResult::Defaults;
    if (version >= 5 && !READ_WORD(in, s.reservedB))
        return ReadResult::Defaults;
    return ReadResult::Ok;
}

// The default settings; the operator lists stay as they are. A fresh file is written.
void applyDefaults(const char* projectDir)
{
    restoreDefaultSettings();
    session.settings.replaceStoryboard = 1;
    session.settings.reservedB = 0;
    writeSettings(projectDir);
}

// Whether the fields of a file that claims an old version are those a writer of the tool made: the
// thumbnail size its requester offers, the two switches on or off.
bool holdsTogether(const Settings& s)
{
    return s.thumbSize >= 1 && s.thumbSize <= 5 && (s.transitionsEnabled == 0 || s.transitionsEnabled == 1) &&
           (s.effectsEnabled == 0 || s.effectsEnabled == 1);
}

// An old writer's file ends after its effect records: more bytes are those of a newer file whose
// version word was damaged.
bool atEnd(int fd)
{
    char next;
    return crt::_read(fd, &next, 1) == 0;
}

// "slset.dat.damaged", or ".damaged.<n>" when that is taken: no copy set aside earlier is replaced.
void setDamagedFileAside(const char* path)
{
    char aside[kPathSize + 16];
    for (int n = 0; n < 1000; ++n) {
        const int length = n == 0 ? std::snprintf(aside, sizeof aside, "%s.damaged", path)
                                  : std::snprintf(aside, sizeof aside, "%s.damaged.%d", path, n);
        if (length <= 0 || static_cast<size_t>(length) >= sizeof aside)
            return;
        const int taken = crt::_open(aside, crt::O_RDONLY_ | crt::O_BINARY_);
        if (taken < 0) {
            if (std::rename(path, aside) != 0)
                STILLSET_LOG(HXLOG_FAILURE);
            return;
        }
        crt::_close(taken);
    }
}

} // namespace

void restoreDefaultSettings()
{
    Settings& s = session.settings;
    s.defaultDurationCode = 4;
    s.defaultDuration = durationFrames(4);
    s.reservedA = 1;
    s.thumbSize = 3;
    s.transitionsEnabled = 0;
    s.transitionLengthCode = 2;
    s.transitionOrder = 0;
    s.transitionRepeatCode = 0;
    std::free(s.jingleFile);
    s.jingleFile = nullptr;
    std::free(s.jingleName);
    s.jingleName = nullptr;
    s.effectsEnabled = 0;
    s.effectOrder = 0;
    s.effectRepeatCode = 0;
    s.gridPosition = 0;
}

void freeOperatorEntry(OperatorEntry* entry)
{
    std::free(entry->name);
    std::free(entry->prefs);
    std::free(entry);
}

int32_t writeSettings(const char* projectDir)
{
    char path[kPathSize], temporary[kPathSize];
    if (!projectDir || !settingsPath(path, projectDir, "") || !settingsPath(temporary, projectDir, ".new")) {
        STILLSET_LOG(HXLOG_FAILURE);
        return -1;
    }
    const int fd = crt::_open(temporary, crt::O_WRONLY_ | crt::O_CREAT_ | crt::O_TRUNC_ | crt::O_BINARY_,
                              crt::S_IREAD_ | crt::S_IWRITE_);
    if (fd < 0) {
        STILLSET_LOG(HXLOG_FAILURE);
        return -1;
    }
    const Settings& s = session.settings;
    FieldWriter out(fd);
    WRITE_WORD(out, kSettingsVersion);
    WRITE_WORD(out, s.defaultDurationCode);
    WRITE_WORD(out, s.reservedA);
    WRITE_WORD(out, s.thumbSize);
    WRITE_WORD(out, s.transitionsEnabled);
    WRITE_WORD(out, s.transitionLengthCode);
    WRITE_WORD(out, s.transitionOrder);
    WRITE_WORD(out, s.transitionRepeatCode);
    writeOperatorRecords(out, session.transitionList, kTransitionsWritten);
    const size_t fileLength = s.jingleFile ? std::strlen(s.jingleFile) : 0;
    WRITE_WORD(out, fileLength);
    WRITE_BYTES(out, s.jingleFile, fileLength);
    writeJingleName(out, s.jingleName);
    WRITE_WORD(out, s.effectsEnabled);
    WRITE_WORD(out, s.effectOrder);
    WRITE_WORD(out, s.effectRepeatCode);
    writeOperatorRecords(out, session.effectList, kEffectsWritten);
    WRITE_WORD(out, s.gridPosition);
    WRITE_WORD(out, s.replaceStoryboard);
    WRITE_WORD(out, s.reservedB);
    bool ok = !out.failed();
    if (ok && crt::_commit(fd) != 0) {
        STILLSET_LOG(HXLOG_FAILURE);
        ok = false;
    }
    if (crt::_close(fd) != 0 && ok) {
        STILLSET_LOG(HXLOG_FAILURE);
        ok = false;
    }
    if (ok && std::rename(temporary, path) != 0) {
        STILLSET_LOG(HXLOG_FAILURE);
        ok = false;
    }
    if (!ok)
        std::remove(temporary); // the stored file stays as it was
    return ok ? 0 : -1;
}

int32_t readSettings(const char* projectDir)
{
    session.settingsNotice = 0;
    char path[kPathSize];
    if (!projectDir || !settingsPath(path, projectDir, "")) {
        applyDefaults(projectDir);
        return 0;
    }
    // Read-only: the file is replaced, never written in place.
    const int fd = crt::_open(path, crt::O_RDONLY_ | crt::O_BINARY_);
    if (fd < 0) {
        applyDefaults(projectDir);
        return 0;
    }
    FieldReader in(fd);
    uint32_t version = 0; // unsigned: a corrupt head word must not pass for an old version
    ReadResult result = in.word(version, __LINE__) ? readFields(in, std::max(version, 2u), session.settings)
                                                    : ReadResult::Defaults;
    const bool old = version < 2 && result == ReadResult::Ok && holdsTogether(session.settings) && atEnd(fd);
    crt::_close(fd);
    if (result == ReadResult::OutOfMemory)
        return -1;
    if (old) {
        // A file this old belongs with a photo list of the same age, which is discarded; so are the
        // lists of operators it named.
        STILLSET_LOG(HXLOG_FAILURE);
        freeOperatorLists();
        nslReadStillsetProject(projectDir, &session.photoList);
        nslFreeStillsetProject(projectDir, &session.photoList, NSL_FREE_DISCARD);
        session.settingsNotice = kStrSettingsTooOld;
        applyDefaults(projectDir);
    } else if (result == ReadResult::Defaults || version < 2) {
        // Damage, not age: the photo list stays, and the damaged bytes are kept for whoever looks.
        setDamagedFileAside(path);
        session.settingsNotice = kStrSettingsDamaged;
        applyDefaults(projectDir);
    }
    return 0;
}

void freeOperatorLists()
{
    for (ListHead* list : {&session.transitionList, &session.effectList}) {
        while (auto* entry = static_cast<OperatorEntry*>(ListFirst(list))) {
            ListRemove(list, entry);
            freeOperatorEntry(entry);
        }
    }
}
