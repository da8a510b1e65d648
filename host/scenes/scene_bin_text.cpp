#include "scenes/scene_bin_text.h"

#include "text/utf.h"
#include "hxhost/scene_bin.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <set>

namespace {

constexpr const char* kHeader = "scenebin 2";
constexpr const char* kHeaderWithoutMark = "scenebin 1";
constexpr const char* kMarkKey = "next";

std::string escape(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '\\' ? std::string("\\\\") : c == '\t' ? std::string("\\t") : c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

std::string unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

const char* kindName(hxhost::ItemKind kind)
{
    switch (kind) {
    case hxhost::ItemKind::Clip: return "clip";
    case hxhost::ItemKind::PhotoClip: return "photo";
    case hxhost::ItemKind::Still: break;
    }
    return "still";
}

std::optional<hxhost::ItemKind> kindNamed(const std::string& name)
{
    for (hxhost::ItemKind kind : {hxhost::ItemKind::Still, hxhost::ItemKind::Clip, hxhost::ItemKind::PhotoClip})
        if (name == kindName(kind))
            return kind;
    return std::nullopt;
}

// Split by hand: getline would drop an empty last field (an item without a name).
std::vector<std::string> fieldsOf(const std::string& line)
{
    std::vector<std::string> fields;
    for (size_t start = 0;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

std::optional<long long> wholeNumber(const std::string& text, long long low, long long high)
{
    if (text.empty() || text.size() > 11)
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (*end || errno || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<hx::BinItem> itemOf(const std::string& line)
{
    const std::vector<std::string> fields = fieldsOf(line);
    if (fields.size() != 5)
        return std::nullopt;
    const std::optional<long long> id = wholeNumber(fields[0], 1, UINT32_MAX - 1);
    const std::optional<hxhost::ItemKind> kind = kindNamed(fields[1]);
    const std::optional<long long> frame = wholeNumber(fields[2], INT32_MIN, INT32_MAX);
    if (!id || !kind || !frame)
        return std::nullopt;
    hx::BinItem item;
    item.id = static_cast<uint32_t>(*id);
    item.kind = *kind;
    item.referenceFrame = static_cast<int32_t>(*frame);
    item.media = unescape(fields[3]);
    item.name = hx::utf8To16(unescape(fields[4]));
    return item;
}

} // namespace

namespace hx {

StoredBin decodeSceneBin(const std::string& bytes)
{
    StoredBin bin;
    bin.damaged = bytes.empty(); // the writer always writes its header
    std::set<uint32_t> ids;
    bool markRead = false;
    for (size_t start = 0; start < bytes.size();) {
        const bool header = start == 0;
        const size_t end = bytes.find('\n', start);
        if (end == std::string::npos) { // the writer ends every line: this one was cut
            bin.damaged = true;
            break;
        }
        const std::string line = bytes.substr(start, end - start);
        start = end + 1;
        if (header) {
            if (line == kHeader || line == kHeaderWithoutMark)
                continue;
            bin.damaged = true; // and the line may still be a whole item
        }
        const std::vector<std::string> fields = fieldsOf(line);
        if (line.empty()) {
            continue;
        } else if (fields.size() == 2 && fields[0] == kMarkKey) {
            const std::optional<long long> mark = wholeNumber(fields[1], 1, UINT32_MAX);
            bin.damaged |= !mark || markRead;
            if (mark && !markRead)
                bin.nextItemId = static_cast<uint32_t>(*mark);
            markRead = true;
        } else if (std::optional<BinItem> item = itemOf(line); item && ids.insert(item->id).second) {
            bin.items.push_back(std::move(*item));
        } else {
            bin.damaged = true;
        }
    }
    // A mark at or below a stored item cannot be trusted.
    if (bin.nextItemId != 0 && !ids.empty() && *ids.rbegin() >= bin.nextItemId) {
        bin.damaged = true;
        bin.nextItemId = 0;
    }
    return bin;
}

std::string encodeSceneBin(const std::deque<BinItem>& items, uint32_t nextItemId)
{
    std::string bytes = std::string(kHeader) + "\n" + kMarkKey + "\t" + std::to_string(nextItemId) + "\n";
    for (const BinItem& item : items)
        bytes += std::to_string(item.id) + "\t" + kindName(item.kind) + "\t" + std::to_string(item.referenceFrame) +
                 "\t" + escape(item.media) + "\t" + escape(utf16To8(item.name)) + "\n";
    return bytes;
}

} // namespace hx
