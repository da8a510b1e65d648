// The order in which transitions and effects serve the new scenes.
#include "session_fixture.h"

#include "stillset/operator_list_node.h"
#include "stillset/order_sequence.h"

#include "platform/crt.h"

#include <cstdlib>

namespace {

class OrderSequenceTest : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        ListInit(&session.transitionList);
        session.transitionSequence = nullptr;
    }
    void TearDown() override
    {
        crt::setClock(nullptr);
        while (auto* entry = static_cast<OperatorEntry*>(ListFirst(&session.transitionList))) {
            ListRemove(&session.transitionList, entry);
            std::free(entry);
        }
        std::free(session.transitionSequence);
        session.transitionSequence = nullptr;
        PluginTest::TearDown();
    }
    void entries(int n)
    {
        for (int i = 0; i < n; ++i)
            ListAppend(&session.transitionList, static_cast<OperatorEntry*>(std::calloc(1, sizeof(OperatorEntry))));
    }
    // The positions the walk gives `scenes` scenes.
    static std::vector<int32_t> walk(int32_t repeatCode, int scenes)
    {
        SequenceWalk w = startWalk(session.transitionSequence, repeatCount(repeatCode));
        std::vector<int32_t> positions;
        for (int i = 0; i < scenes; ++i, advanceWalk(w))
            positions.push_back(w.position);
        return positions;
    }
};

TEST_F(OrderSequenceTest, EntriesRepeatAndTheOrderStartsAgain)
{
    entries(3);
    buildSequence(&session.transitionList, 0);
    EXPECT_EQ(walk(1, 5), (std::vector<int32_t>{1, 1, 2, 2, 3}));
    EXPECT_EQ(walk(1, 8), (std::vector<int32_t>{1, 1, 2, 2, 3, 3, 1, 1}));
    EXPECT_EQ(walk(7, 15), (std::vector<int32_t>{1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 3}));
}

TEST_F(OrderSequenceTest, TwoEntriesServedOnceEachAlternate)
{
    entries(2);
    buildSequence(&session.transitionList, 0);
    EXPECT_EQ(walk(0, 5), (std::vector<int32_t>{1, 2, 1, 2, 1}));
}

TEST_F(OrderSequenceTest, RepeatCodesAndCountsThatCannotServe)
{
    const int32_t counts[] = {1, 2, 3, 5, 10, 20, 6, 7, 100};
    for (int32_t code = 0; code <= 8; ++code)
        EXPECT_EQ(repeatCount(code == 8 ? 100 : code), counts[code]) << code;
    // A damaged code of 0 or less would hold the walk on its first entry for ever.
    EXPECT_EQ(repeatCount(-4), 1);
    entries(2);
    buildSequence(&session.transitionList, 0);
    EXPECT_EQ(walk(-4, 3), (std::vector<int32_t>{1, 2, 1}));
}

TEST_F(OrderSequenceTest, AnEmptyListLeavesNoSequenceAndTheWalkHasNoEntry)
{
    buildSequence(&session.transitionList, 1);
    EXPECT_EQ(session.transitionSequence, nullptr);
    EXPECT_EQ(walk(0, 2), (std::vector<int32_t>{-1, -1}));
}

TEST_F(OrderSequenceTest, TheShuffleIsThePermutationTheClockSecondGives)
{
    // The generator: seeded with 0 its first results are 38 and 7719; with four entries both
    // scale to index 0, so the first of the hundred swaps changes nothing.
    crt::srand(0);
    const int r1 = crt::rand(), r2 = crt::rand();
    EXPECT_EQ(r1, 38);
    EXPECT_EQ(r2, 7719);
    EXPECT_EQ(static_cast<int>(r1 * (1.0 / 32768) * 4), 0);
    EXPECT_EQ(static_cast<int>(r2 * (1.0 / 32768) * 4), 0);

    entries(1);
    buildSequence(&session.transitionList, 1);
    ASSERT_NE(session.transitionSequence, nullptr);
    EXPECT_EQ(session.transitionSequence[0], 1);
    EXPECT_EQ(session.transitionSequence[1], -1);

    // Seeded from the clock: the same second shuffles alike. The permutations were worked out apart
    // from the code, from the generator's rule and the hundred swaps.
    struct Case {
        int64_t second;
        int n;
        std::vector<int32_t> order;
    };
    const Case cases[] = {{0, 5, {2, 1, 3, 5, 4, -1}},
                          {1234567890, 5, {5, 2, 1, 4, 3, -1}},
                          {1700000000, 5, {3, 2, 5, 4, 1, -1}},
                          {1234567890, 7, {1, 5, 4, 3, 6, 7, 2, -1}}};
    static int64_t second;
    crt::setClock([] { return second; });
    for (const Case& c : cases) {
        second = c.second;
        entries(c.n - ListCount(&session.transitionList));
        for (int run = 0; run < 2; ++run) {
            buildSequence(&session.transitionList, 1);
            EXPECT_EQ(std::vector<int32_t>(session.transitionSequence, session.transitionSequence + c.n + 1), c.order)
                << c.second << " n=" << c.n;
        }
    }
}

} // namespace
