/* Resource library: the string and image catalogues of a program, and the language list. */
#ifndef HX_HXRES_H
#define HX_HXRES_H

#include "hxapi.h"
#include "hxlist.h"

HX_BEGIN_DECLS

typedef struct ResStrings ResStrings; /* a loaded string catalogue */
typedef struct ResImages ResImages;   /* a loaded image catalogue */

/* An image of a catalogue: 32-bit words 0xAARRGGBB (RGB, alpha 255 = opaque), rows without gaps.
   Owned by the catalogue. */
typedef struct ResImage {
    uint16_t width;
    uint16_t reserved0;
    uint16_t height;
    uint16_t reserved1;
    uint32_t reserved2[2];
    uint32_t* pixels;
} ResImage;

HX_ASSERT_LAYOUT32(offsetof(ResImage, height) == 4);
HX_ASSERT_LAYOUT32(offsetof(ResImage, pixels) == 16);

/* A user-interface language; `options` heads its list of ResLangOption. */
typedef struct ResLanguage {
    ListNode link;
    uint32_t reserved[3];
    ListHead* options;
} ResLanguage;

/* One option of a language: an identifier and a flag byte. */
typedef struct ResLangOption {
    ListNode link;
    uint32_t reserved0[2];
    uint32_t id;
    uint32_t reserved1[4];
    uint8_t flags;
    uint8_t reserved2[3];
} ResLangOption;

HX_ASSERT_LAYOUT32(offsetof(ResLanguage, options) == 24);
HX_ASSERT_LAYOUT32(offsetof(ResLangOption, id) == 20);
HX_ASSERT_LAYOUT32(offsetof(ResLangOption, flags) == 40);

/* Catalogues are loaded by program name; null on failure. Owned: free with resFreeStrings / resFreeImages. */
HXAPI ResStrings* resLoadStrings(const char* name);
HXAPI ResImages* resLoadImages(const char* name);
/* Borrowed until the catalogue is freed. A number the catalogue lacks gives the text "#<number>"
   and no image (null). */
HXAPI const hxchar* resGetString(ResStrings* catalogue, int32_t number);
HXAPI ResImage* resGetImage(ResImages* catalogue, int32_t number);
HXAPI void resFreeStrings(ResStrings* catalogue);
HXAPI void resFreeImages(ResImages* catalogue);

/* The host's user-interface languages (nodes are ResLanguage); null when the host has none. */
HXAPI extern ListHead* resLangListbegin;

HX_END_DECLS

#endif
