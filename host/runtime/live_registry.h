// The host objects of one kind handed out through the C boundary: which handles are live (so a stale
// or foreign handle is refused), how many (each registry feeds one field of hxhost::LiveCounts), and
// what a reset of the host does with those still live.
#ifndef HX_LIVE_REGISTRY_H
#define HX_LIVE_REGISTRY_H

#include "hxhost/setup.h"
#include "hxhost/testing.h"

#include <cstdint>
#include <map>
#include <utility>
#include <type_traits>
#include <unordered_map>
#include <vector>

namespace hx {

using LiveCountField = int64_t hxhost::LiveCounts::*;

// What hxhost::reset() does with the handles of a kind that are still live.
enum class OnReset {
    Release, // the host frees them: they were the host's, lent to a program that is gone
    Forget,  // the host drops them: what they name went with the host's other state
    Keep     // they stay live and counted: their holder still owns them
};

class LiveKind {
public:
    LiveKind(const LiveKind&) = delete;
    LiveKind& operator=(const LiveKind&) = delete;

    // Every registry's size in its field.
    static hxhost::LiveCounts counts();
    static void resetAll();

protected:
    explicit LiveKind(LiveCountField field);
    ~LiveKind();
    virtual size_t size() const = 0;
    virtual void reset() = 0;

private:
    LiveCountField field_;
};

// Each live handle may carry a small payload of the host's (what it needs to find with the handle).
template <typename Handle, typename Payload = bool> class LiveRegistry final : public LiveKind {
public:
    using Release = void (*)(Handle);

    // `release` frees a handle still live at a reset; only OnReset::Release uses it.
    LiveRegistry(LiveCountField field, OnReset onReset, Release release = nullptr)
        : LiveKind(field), onReset_(onReset), release_(release)
    {
    }

    void add(Handle handle, Payload payload = {})
    {
        if (entries_.emplace(handle, Entry{serial_ + 1, std::move(payload)}).second)
            order_.emplace(++serial_, handle);
    }
    // False when the handle was not live.
    template <typename Key> bool remove(Key key)
    {
        auto found = entries_.find(handleOf(key));
        if (found == entries_.end())
            return false;
        order_.erase(found->second.serial);
        entries_.erase(found);
        return true;
    }
    template <typename Key> bool contains(Key key) const { return entries_.count(handleOf(key)) != 0; }
    // The payload of a live handle, null for any other.
    template <typename Key> Payload* find(Key key)
    {
        auto found = entries_.find(handleOf(key));
        return found == entries_.end() ? nullptr : &found->second.payload;
    }
    size_t size() const override { return entries_.size(); }
    // Oldest first.
    std::vector<Handle> inOrder() const
    {
        std::vector<Handle> handles;
        handles.reserve(order_.size());
        for (const auto& [serial, handle] : order_)
            handles.push_back(handle);
        return handles;
    }
    Handle newest() const { return order_.empty() ? Handle{} : order_.rbegin()->second; }

private:
    struct Entry {
        uint64_t serial;
        Payload payload;
    };

    // Lets a const pointer look up a registry of non-const handles.
    template <typename Key> static Handle handleOf(Key key)
    {
        if constexpr (std::is_pointer_v<Handle>)
            return const_cast<Handle>(key);
        else
            return key;
    }

    void reset() override
    {
        if (onReset_ == OnReset::Keep)
            return;
        const std::vector<Handle> live = inOrder();
        entries_.clear();
        order_.clear();
        if (onReset_ == OnReset::Release && release_)
            for (Handle handle : live)
                release_(handle);
    }

    OnReset onReset_;
    Release release_;
    std::unordered_map<Handle, Entry> entries_;
    std::map<uint64_t, Handle> order_;
    uint64_t serial_ = 0;
};

} // namespace hx

#endif
