// hxlist: doubly linked lists; positions count from 1.
#include "host/hxlist.h"

namespace {

ListNode* asNode(const void* node)
{
    return static_cast<ListNode*>(const_cast<void*>(node));
}

void link(ListHead* head, ListNode* after, ListNode* node)
{
    node->list = head;
    node->prev = after;
    node->next = after ? after->next : head->first;
    if (node->next)
        node->next->prev = node;
    else
        head->last = node;
    if (after)
        after->next = node;
    else
        head->first = node;
    ++head->count;
}

} // namespace

extern "C" {

void ListInit(ListHead* head)
{
    head->first = nullptr;
    head->last = nullptr;
    head->count = 0;
    head->reserved = 0;
}

void* ListFirst(const ListHead* head)
{
    return head ? head->first : nullptr;
}

void* ListLast(const ListHead* head)
{
    return head ? head->last : nullptr;
}

void* ListNext(const void* node)
{
    return node ? asNode(node)->next : nullptr;
}

void* ListPrev(const void* node)
{
    return node ? asNode(node)->prev : nullptr;
}

void* ListNodeAt(const ListHead* head, int32_t position)
{
    if (!head || position < 1 || static_cast<uint32_t>(position) > head->count)
        return nullptr;
    ListNode* node = head->first;
    for (int32_t i = 1; i < position; ++i)
        node = node->next;
    return node;
}

int32_t ListCount(const ListHead* head)
{
    return head ? static_cast<int32_t>(head->count) : 0;
}

void ListAppend(ListHead* head, void* node)
{
    if (head && node)
        link(head, head->last, asNode(node));
}

void ListInsertAfter(ListHead* head, void* after, void* node)
{
    if (!head || !node)
        return;
    ListNode* anchor = asNode(after);
    if (anchor && anchor->list != head)
        anchor = head->last; // an anchor of another list cannot be honoured; keep the node
    link(head, anchor, asNode(node));
}

void ListRemove(ListHead* head, void* node)
{
    ListNode* n = asNode(node);
    if (!head || !n || n->list != head)
        return;
    if (n->prev)
        n->prev->next = n->next;
    else
        head->first = n->next;
    if (n->next)
        n->next->prev = n->prev;
    else
        head->last = n->prev;
    n->next = n->prev = nullptr;
    n->list = nullptr;
    --head->count;
}

} // extern "C"
