/* List library: doubly linked lists whose nodes start with a link header owned by the library. */
#ifndef HX_HXLIST_H
#define HX_HXLIST_H

#include "hxapi.h"

HX_BEGIN_DECLS

/* The first member of every node; only the list operations touch it. */
typedef struct ListNode {
    struct ListNode* next;
    struct ListNode* prev;
    struct ListHead* list; /* the head the node is linked into, null while unlinked */
} ListNode;

/* A list head lives in the caller's storage and is set up with ListInit. */
typedef struct ListHead {
    ListNode* first;
    ListNode* last;
    uint32_t count;
    uint32_t reserved;
} ListHead;

HX_ASSERT_LAYOUT32(sizeof(ListNode) == 12);
HX_ASSERT_LAYOUT32(sizeof(ListHead) == 16);

HXAPI void ListInit(ListHead* head);
HXAPI void* ListFirst(const ListHead* head);           /* null when empty */
HXAPI void* ListLast(const ListHead* head);            /* null when empty */
HXAPI void* ListNext(const void* node);                /* null after the last */
HXAPI void* ListPrev(const void* node);                /* null before the first */
HXAPI void* ListNodeAt(const ListHead* head, int32_t position); /* positions from 1; null out of range */
HXAPI int32_t ListCount(const ListHead* head);
HXAPI void ListAppend(ListHead* head, void* node);
/* Inserts node after `after`; a null `after` makes node the first. */
HXAPI void ListInsertAfter(ListHead* head, void* after, void* node);
/* Unlinks node; never frees it. */
HXAPI void ListRemove(ListHead* head, void* node);

HX_END_DECLS

#endif
