#include "order_sequence.h"

#include "session.h"

#include "platform/crt.h"

#include <cstdlib>

namespace {

constexpr int kShuffleSwaps = 100;

// A draw of the 15-bit generator scaled to 0..n-1; the scaling assumes exactly that range.
int32_t drawIndex(int32_t n)
{
    return static_cast<int32_t>(crt::rand() * (1.0 / 32768.0) * n);
}

} // namespace

void buildSequence(ListHead* list, int32_t order)
{
    const int32_t n = ListCount(list);
    if (n <= 0)
        return;
    auto* sequence = static_cast<int32_t*>(std::malloc((static_cast<size_t>(n) + 1) * sizeof(int32_t)));
    if (!sequence)
        return;
    for (int32_t i = 0; i < n; ++i)
        sequence[i] = i + 1;
    sequence[n] = -1;
    if (order == 1) {
        crt::srand(static_cast<unsigned int>(crt::_time64(nullptr)));
        for (int swap = 0; swap < kShuffleSwaps; ++swap) {
            const int32_t a = drawIndex(n);
            const int32_t b = drawIndex(n);
            if (a <= n - 1 && b <= n - 1) {
                const int32_t kept = sequence[a];
                sequence[a] = sequence[b];
                sequence[b] = kept;
            }
        }
    }
    int32_t*& target = list == &session.transitionList ? session.transitionSequence : session.effectSequence;
    std::free(target);
    target = sequence;
}

int32_t repeatCount(int32_t repeatCode)
{
    switch (repeatCode) {
    case 0: return 1;
    case 1: return 2;
    case 2: return 3;
    case 3: return 5;
    case 4: return 10;
    case 5: return 20;
    // A count below one would keep the walk on its first entry for ever.
    default: return repeatCode < 1 ? 1 : repeatCode;
    }
}

SequenceWalk startWalk(const int32_t* sequence, int32_t repeat)
{
    return SequenceWalk{sequence, repeat, 0, 1, sequence ? sequence[0] : -1};
}

void advanceWalk(SequenceWalk& walk)
{
    if (!walk.sequence || walk.position == -1)
        return;
    if (walk.uses != walk.repeat) {
        ++walk.uses;
        return;
    }
    walk.uses = 1;
    walk.position = walk.sequence[++walk.index];
    if (walk.position == -1) {
        walk.index = 0;
        walk.position = walk.sequence[0];
    }
}
