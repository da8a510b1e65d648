// The stored storyboard "storyboard.sbd": little-endian fields, every count and length bounded,
// closed by a checksum of everything before it.
//
//   "HXSB" u32 version(2) u32 nextSceneId u32 nextHandle i32 completedStart i32 completedEnd
//   u32 unfinishedFrom (version 2)
//   u32 sceneCount, each scene: u32 id u32 clipItem i32 length, effect?, transition?
//   u32 stepCount, each: text16 label, u32 entryCount, each: u32 sceneId, effect?, transition?,
//       then (version 2) removed?: u8 present, then u32 sceneCount, each scene, i32 completedStart
//       i32 completedEnd u32 unfinishedFrom
//   u32 checksum (FNV-1a over the bytes before it)
// Version 1 files, written before builds were marked and clears could be undone, still read.
// effect?:     u8 present, then u32 handle text8 operatorName i32 length u32 uniqueId blob prefs
// transition?: u8 present, then the effect's fields, i32 flag text8 jingleFile text16 jingleName
//              i64 jingleMicroseconds
#include "scenes/storyboard.h"

#include "runtime/byte_io.h"

#include <algorithm>
#include <climits>

namespace {

constexpr char kMagic[4] = {'H', 'X', 'S', 'B'};
constexpr uint32_t kVersion = 2;

class Writer {
public:
    void u8(uint8_t value) { out_ += static_cast<char>(value); }
    void u32(uint32_t value) { hx::putU32(out_, value); }
    void i32(int32_t value) { u32(static_cast<uint32_t>(value)); }
    void i64(int64_t value)
    {
        u32(static_cast<uint32_t>(static_cast<uint64_t>(value)));
        u32(static_cast<uint32_t>(static_cast<uint64_t>(value) >> 32));
    }
    void text8(const std::string& text)
    {
        u32(static_cast<uint32_t>(text.size()));
        out_ += text;
    }
    void text16(const std::u16string& text)
    {
        u32(static_cast<uint32_t>(text.size()));
        for (char16_t c : text) {
            u8(static_cast<uint8_t>(c & 0xFF));
            u8(static_cast<uint8_t>(c >> 8));
        }
    }
    void blob(const std::vector<uint8_t>& bytes)
    {
        u32(static_cast<uint32_t>(bytes.size()));
        out_.append(bytes.begin(), bytes.end());
    }
    void placed(const hxhost::PlacedOperator& op)
    {
        u32(op.handle);
        text8(op.operatorName);
        i32(op.length);
        u32(op.uniqueId);
        blob(op.prefs);
    }
    // A presence byte, then the value when it is there.
    template <typename T, typename WriteValue> void optional(const std::optional<T>& value, WriteValue writeValue)
    {
        u8(value ? 1 : 0);
        if (value)
            writeValue(*value);
    }
    void effect(const std::optional<hxhost::PlacedOperator>& op)
    {
        optional(op, [this](const hxhost::PlacedOperator& o) { placed(o); });
    }
    void transition(const std::optional<hxhost::PlacedTransition>& t)
    {
        optional(t, [this](const hxhost::PlacedTransition& p) {
            placed(p);
            i32(p.flag);
            text8(p.jingleFile);
            text16(p.jingleName);
            i64(p.jingleMicroseconds);
        });
    }
    void scene(const hxhost::StoryboardScene& s)
    {
        u32(s.id);
        u32(s.clipItem);
        i32(s.length);
        effect(s.effect);
        transition(s.transition);
    }
    void removed(const std::optional<hx::RemovedScenes>& r)
    {
        optional(r, [this](const hx::RemovedScenes& v) {
            u32(static_cast<uint32_t>(v.scenes.size()));
            for (const hxhost::StoryboardScene& s : v.scenes)
                scene(s);
            i32(v.completedStart);
            i32(v.completedEnd);
            u32(v.unfinishedFrom);
        });
    }
    std::string& bytes() { return out_; }

private:
    std::string out_;
};

class Reader {
public:
    explicit Reader(const std::string& in) : in_(in) {}
    bool u8(uint8_t& value)
    {
        if (at_ >= in_.size())
            return false;
        value = static_cast<uint8_t>(in_[at_++]);
        return true;
    }
    bool u32(uint32_t& value) { return hx::getU32(in_, at_, value); }
    bool i32(int32_t& value)
    {
        uint32_t raw = 0;
        if (!u32(raw))
            return false;
        value = static_cast<int32_t>(raw);
        return true;
    }
    bool i64(int64_t& value)
    {
        uint32_t low = 0, high = 0;
        if (!u32(low) || !u32(high))
            return false;
        value = static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low);
        return true;
    }
    bool count(uint32_t& value, uint32_t limit) { return u32(value) && value <= limit; }
    bool text8(std::string& text)
    {
        uint32_t n = 0;
        if (!count(n, hx::kMaxStoredText) || in_.size() - at_ < n)
            return false;
        text.assign(in_, at_, n);
        at_ += n;
        return true;
    }
    bool text16(std::u16string& text)
    {
        uint32_t n = 0;
        if (!count(n, hx::kMaxStoredText) || (in_.size() - at_) / 2 < n)
            return false;
        text.resize(n);
        for (uint32_t i = 0; i < n; ++i, at_ += 2)
            text[i] = static_cast<char16_t>(static_cast<unsigned char>(in_[at_]) |
                                            static_cast<unsigned char>(in_[at_ + 1]) << 8);
        return true;
    }
    bool blob(std::vector<uint8_t>& bytes)
    {
        uint32_t n = 0;
        if (!count(n, hx::kMaxPrefsBlock) || in_.size() - at_ < n)
            return false;
        bytes.assign(in_.begin() + static_cast<std::ptrdiff_t>(at_), in_.begin() + static_cast<std::ptrdiff_t>(at_ + n));
        at_ += n;
        return true;
    }
    bool placed(hxhost::PlacedOperator& op)
    {
        return u32(op.handle) && op.handle != 0 && text8(op.operatorName) && i32(op.length) && op.length > 0 &&
               u32(op.uniqueId) && blob(op.prefs);
    }
    bool present(bool& yes)
    {
        uint8_t flag = 0;
        if (!u8(flag) || flag > 1)
            return false;
        yes = flag == 1;
        return true;
    }
    // A presence byte, then the value when it is there.
    template <typename T, typename ReadValue> bool optional(std::optional<T>& value, ReadValue readValue)
    {
        bool yes = false;
        if (!present(yes))
            return false;
        return !yes || readValue(value.emplace());
    }
    bool effect(std::optional<hxhost::PlacedOperator>& op)
    {
        return optional(op, [this](hxhost::PlacedOperator& o) { return placed(o); });
    }
    bool transition(std::optional<hxhost::PlacedTransition>& t)
    {
        return optional(t, [this](hxhost::PlacedTransition& p) {
            return placed(p) && i32(p.flag) && text8(p.jingleFile) && text16(p.jingleName) && i64(p.jingleMicroseconds);
        });
    }
    bool scenes(std::vector<hxhost::StoryboardScene>& out)
    {
        uint32_t n = 0;
        if (!count(n, hx::kMaxScenes))
            return false;
        for (uint32_t i = 0; i < n; ++i) {
            hxhost::StoryboardScene s;
            if (!u32(s.id) || s.id == 0 || !u32(s.clipItem) || !i32(s.length) || s.length <= 0 || !effect(s.effect) ||
                !transition(s.transition))
                return false;
            out.push_back(std::move(s));
        }
        return true;
    }
    bool removed(std::optional<hx::RemovedScenes>& r)
    {
        return optional(r, [this](hx::RemovedScenes& v) {
            return scenes(v.scenes) && i32(v.completedStart) && i32(v.completedEnd) && u32(v.unfinishedFrom);
        });
    }
    size_t offset() const { return at_; }

private:
    const std::string& in_;
    size_t at_ = 0;
};

// Lays the scenes out; what is wrong when they break the host's rules, else null.
const char* brokenRule(std::vector<hxhost::StoryboardScene>& scenes)
{
    for (size_t i = 0; i < scenes.size(); ++i) {
        const hxhost::StoryboardScene& scene = scenes[i];
        if ((scene.effect && scene.effect->length > scene.length) ||
            (scene.transition && scene.transition->length > hx::maxTransitionLength(scenes, i)))
            return "the storyboard file is damaged (an effect or transition longer than it may be)";
    }
    if (!hx::layOut(scenes))
        return "the storyboard file is damaged (longer than a timeline can be)";
    return nullptr;
}

bool fail(std::string* error, const char* why)
{
    if (error)
        *error = why;
    return false;
}

} // namespace

namespace hx {

uint32_t storyboardChecksum(const std::string& bytes, size_t end)
{
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < end; ++i) {
        hash ^= static_cast<unsigned char>(bytes[i]);
        hash *= 16777619u;
    }
    return hash;
}

std::string encodeStoryboard(const StoryboardData& data)
{
    Writer w;
    w.bytes().append(kMagic, sizeof kMagic);
    w.u32(kVersion);
    w.u32(data.nextSceneId);
    w.u32(data.nextHandle);
    w.i32(data.completedStart);
    w.i32(data.completedEnd);
    w.u32(data.unfinishedFrom);
    w.u32(static_cast<uint32_t>(data.scenes.size()));
    for (const hxhost::StoryboardScene& scene : data.scenes)
        w.scene(scene);
    w.u32(static_cast<uint32_t>(data.history.size()));
    for (const UndoRecord& step : data.history) {
        w.text16(step.label);
        w.u32(static_cast<uint32_t>(step.entries.size()));
        for (const UndoEntry& entry : step.entries) {
            w.u32(entry.sceneId);
            w.effect(entry.effect);
            w.transition(entry.transition);
        }
        w.removed(step.removed);
    }
    w.u32(storyboardChecksum(w.bytes(), w.bytes().size()));
    return std::move(w.bytes());
}

bool decodeStoryboard(const std::string& bytes, StoryboardData& out, std::string* error)
{
    if (bytes.size() < sizeof kMagic + 4 || bytes.compare(0, sizeof kMagic, kMagic, sizeof kMagic) != 0)
        return fail(error, "not a storyboard file");
    size_t tail = bytes.size() - 4;
    uint32_t stored = 0;
    if (!getU32(bytes, tail, stored) || stored != storyboardChecksum(bytes, bytes.size() - 4))
        return fail(error, "the storyboard file is damaged (checksum)");
    const std::string body = bytes.substr(0, bytes.size() - 4);
    Reader r(body);
    r.u32(stored); // the magic, checked above
    uint32_t version = 0, steps = 0;
    StoryboardData data;
    if (!r.u32(version) || version < 1 || version > kVersion)
        return fail(error, "the storyboard file has a version this host does not know");
    if (!r.u32(data.nextSceneId) || !r.u32(data.nextHandle) || !r.i32(data.completedStart) ||
        !r.i32(data.completedEnd) || (version >= 2 && !r.u32(data.unfinishedFrom)))
        return fail(error, "the storyboard file is damaged (header)");
    if (!r.scenes(data.scenes))
        return fail(error, "the storyboard file is damaged (scene)");
    if (!r.count(steps, kMaxUndoSteps))
        return fail(error, "the storyboard file is damaged (undo history)");
    for (uint32_t i = 0; i < steps; ++i) {
        UndoRecord step;
        uint32_t entries = 0;
        if (!r.text16(step.label) || !r.count(entries, kMaxScenes))
            return fail(error, "the storyboard file is damaged (undo step)");
        for (uint32_t k = 0; k < entries; ++k) {
            UndoEntry entry;
            if (!r.u32(entry.sceneId) || !r.effect(entry.effect) || !r.transition(entry.transition))
                return fail(error, "the storyboard file is damaged (undo step)");
            step.entries.push_back(std::move(entry));
        }
        if (version >= 2 && !r.removed(step.removed))
            return fail(error, "the storyboard file is damaged (undo step)");
        data.history.push_back(std::move(step));
    }
    if (r.offset() != body.size())
        return fail(error, "the storyboard file is damaged (trailing bytes)");
    if (const char* why = brokenRule(data.scenes))
        return fail(error, why);
    for (UndoRecord& step : data.history)
        if (step.removed)
            if (const char* why = brokenRule(step.removed->scenes))
                return fail(error, why);
    out = std::move(data);
    return true;
}

bool layOut(std::vector<hxhost::StoryboardScene>& scenes)
{
    int64_t position = 0;
    for (hxhost::StoryboardScene& scene : scenes) {
        if (position + scene.length > INT32_MAX)
            return false;
        scene.position = static_cast<int32_t>(position);
        position += scene.length - (scene.transition ? scene.transition->length : 0);
    }
    return true;
}

int32_t maxTransitionLength(const std::vector<hxhost::StoryboardScene>& scenes, size_t index)
{
    if (index + 1 >= scenes.size())
        return 0;
    return std::min(scenes[index].length, scenes[index + 1].length) / 2;
}

int32_t timelineLength(const std::vector<hxhost::StoryboardScene>& scenes)
{
    if (scenes.empty())
        return 0;
    return scenes.back().position + scenes.back().length;
}

} // namespace hx
