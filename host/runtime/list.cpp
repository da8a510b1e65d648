// hxlist: doubly linked lists; positions count from 1.
#include "host/hxlist.h"
#include "runtime/entry_guard.h"

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

void ListInit(ListHead* head) HX_ENTRY
{
    head->first = nullptr;
    head->last = nullptr;
    head->count = 0;
    head->reserved = 0;
}
HX_ENTRY_FAILS_VOID

void* ListFirst(const ListHead* head) HX_ENTRY
{
    return head ? head->first : nullptr;
}
HX_ENTRY_FAILS(nullptr)

void* ListLast(const ListHead* head) HX_ENTRY
{
    return head ? head->last : nullptr;
}
HX_ENTRY_FAILS(nullptr)

void* ListNext(const void* node) HX_ENTRY
{
    return node ? asNode(node)->next : nullptr;
}
HX_ENTRY_FAILS(nullptr)

void* ListPrev(const void* node) HX_ENTRY
{
    return node ? asNode(node)->prev : nullptr;
}
HX_ENTRY_FAILS(nullptr)

void* ListNodeAt(const ListHead* head, int32_t position) HX_ENTRY
{
    if (!head || position < 1 || static_cast<uint32_t>(position) > head->count)
        return nullptr;
    ListNode* node = head->first;
    for (int32_t i = 1; i < position; ++i)
        node = node->next;
    return node;
}
HX_ENTRY_FAILS(nullptr)

int32_t ListCount(const ListHead* head) HX_ENTRY
{
    return head ? static_cast<int32_t>(head->count) : 0;
}
HX_ENTRY_FAILS(0)

void ListAppend(ListHead* head, void* node) HX_ENTRY
{
    if (head && node)
        link(head, head->last, asNode(node));
}
HX_ENTRY_FAILS_VOID

void ListInsertAfter(ListHead* head, void* after, void* node) HX_ENTRY
{
    if (!head || !node)
        return;
    ListNode* anchor = asNode(after);
    if (anchor && anchor->list != head)
        anchor = head->last; // an anchor of another list cannot be honoured; keep the node
    link(head, anchor, asNode(node));
}
HX_ENTRY_FAILS_VOID

void ListRemove(ListHead* head, void* node) HX_ENTRY
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
HX_ENTRY_FAILS_VOID

} // extern "C"
