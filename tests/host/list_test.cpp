// Host lists: positions from 1, insertion at the front and the end, unlinking without freeing.
#include "host/hxlist.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Node {
    ListNode link;
    int value;
};

class ListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ListInit(&head);
        for (int i = 0; i < 4; ++i)
            nodes[i].value = i + 1;
    }

    // Values walking forwards, checked against a walk backwards and against ListCount.
    std::vector<int> values()
    {
        std::vector<int> forward, backward;
        for (auto* n = static_cast<Node*>(ListFirst(&head)); n; n = static_cast<Node*>(ListNext(n)))
            forward.push_back(n->value);
        for (auto* n = static_cast<Node*>(ListLast(&head)); n; n = static_cast<Node*>(ListPrev(n)))
            backward.insert(backward.begin(), n->value);
        EXPECT_EQ(forward, backward);
        EXPECT_EQ(ListCount(&head), static_cast<int32_t>(forward.size()));
        return forward;
    }

    ListHead head{};
    Node nodes[4]{};
};

TEST_F(ListTest, PositionsCountFromOne)
{
    EXPECT_EQ(ListNodeAt(&head, 1), nullptr);
    EXPECT_EQ(values(), (std::vector<int>{}));
    for (Node& n : nodes)
        ListAppend(&head, &n);
    EXPECT_EQ(values(), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(ListNodeAt(&head, 0), nullptr);
    EXPECT_EQ(ListNodeAt(&head, -1), nullptr);
    EXPECT_EQ(ListNodeAt(&head, 1), &nodes[0]);
    EXPECT_EQ(ListNodeAt(&head, 4), &nodes[3]);
    EXPECT_EQ(ListNodeAt(&head, 5), nullptr);
    EXPECT_EQ(ListPrev(&nodes[0]), nullptr);
    EXPECT_EQ(ListNext(&nodes[3]), nullptr);
}

TEST_F(ListTest, InsertAfterNullMakesTheNodeFirst)
{
    ListInsertAfter(&head, nullptr, &nodes[0]);
    EXPECT_EQ(values(), (std::vector<int>{1}));
    EXPECT_EQ(ListLast(&head), &nodes[0]);
    ListInsertAfter(&head, nullptr, &nodes[1]);
    EXPECT_EQ(values(), (std::vector<int>{2, 1}));
    EXPECT_EQ(ListFirst(&head), &nodes[1]);
}

TEST_F(ListTest, InsertAfterTheMiddleAndTheLast)
{
    ListAppend(&head, &nodes[0]);
    ListAppend(&head, &nodes[1]);
    ListInsertAfter(&head, &nodes[0], &nodes[2]);
    EXPECT_EQ(values(), (std::vector<int>{1, 3, 2}));
    ListInsertAfter(&head, &nodes[1], &nodes[3]);
    EXPECT_EQ(values(), (std::vector<int>{1, 3, 2, 4}));
    EXPECT_EQ(ListLast(&head), &nodes[3]);
}

TEST_F(ListTest, RemoveUnlinksWithoutFreeing)
{
    for (Node& n : nodes)
        ListAppend(&head, &n);
    ListRemove(&head, &nodes[0]); // first
    ListRemove(&head, &nodes[3]); // last
    EXPECT_EQ(values(), (std::vector<int>{2, 3}));
    EXPECT_EQ(ListFirst(&head), &nodes[1]);
    EXPECT_EQ(ListLast(&head), &nodes[2]);
    ListRemove(&head, &nodes[1]); // middle of what is left
    ListRemove(&head, &nodes[2]);
    EXPECT_EQ(values(), (std::vector<int>{}));
    EXPECT_EQ(ListFirst(&head), nullptr);
    EXPECT_EQ(ListLast(&head), nullptr);

    // The nodes keep their payload and can be linked again, in any order.
    EXPECT_EQ(nodes[3].value, 4);
    ListAppend(&head, &nodes[3]);
    ListInsertAfter(&head, nullptr, &nodes[0]);
    EXPECT_EQ(values(), (std::vector<int>{1, 4}));
}

} // namespace
