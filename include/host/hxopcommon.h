/* Image library: the host's image buffers and the operations on them. */
#ifndef HX_HXOPCOMMON_H
#define HX_HXOPCOMMON_H

#include "hxapi.h"

HX_BEGIN_DECLS

/* Pixel formats:
   0  a luma plane of width x height bytes directly followed by a chroma plane of the same size
   1  four bytes a pixel, rows without gaps: byte 0 key, bytes 1 and 2 chroma, byte 3 luma
      (a little-endian word has the layout of a YUV colour word: video black is 0x108080FF)
   2  two bytes a pixel: byte 0 chroma, byte 1 luma
   7  a luma plane and two chroma planes of width x height / 4 bytes (planes[1], planes[2])
   Chroma: in format 1 byte 1 is U (Cb) and byte 2 is V (Cr). Formats 2 and 0 hold U and V alternately
   per pixel pair (U at the even pixel), so a lone last pixel of an odd width carries U only. The
   planes of format 7 are ((width + 1) / 2) x ((height + 1) / 2). All planes lie in one block. */
enum {
    OP_FORMAT_YC_PLANAR = 0,
    OP_FORMAT_YUVA = 1,
    OP_FORMAT_YC_PACKED = 2,
    OP_FORMAT_YUV420 = 7
};

#define OP_VIDEO_BLACK 0x108080FFu

typedef struct OpImage {
    int16_t width;
    int16_t height;
    uint32_t format;
    uint16_t aspect;    /* pixel aspect in thousandths, 1000 = square */
    uint16_t reserved;
    uint8_t* planes[3]; /* planes[0] holds the pixels; formats 0 and 7 use the others */
} OpImage;

HX_ASSERT_LAYOUT32(offsetof(OpImage, format) == 4);
HX_ASSERT_LAYOUT32(offsetof(OpImage, aspect) == 8);
HX_ASSERT_LAYOUT32(offsetof(OpImage, planes) == 12);

/* Flags of opAllocImage. */
enum {
    OP_ALLOC_FIELD_SIZE = 4, /* with width and height -1: the current field size; otherwise the caller
                                fills every pixel, so they are not cleared first */
    OP_ALLOC_NO_PIXELS = 8   /* a header without pixel storage */
};

/* A new image, null on failure. The size probes, width and height 0 with flags 0 and -1 with
   flags 4, both give an image of the current output format: one field of the video frame (the
   frame is twice as high). Owned: free with opFreeImage. */
HXAPI OpImage* opAllocImage(int32_t width, int32_t height, uint32_t format, uint32_t flags);
HXAPI void opFreeImage(OpImage* image);
/* An independent copy, or null. Owned. */
HXAPI OpImage* opCloneImage(const OpImage* image, uint32_t flags);
/* The image in another format; the argument is consumed (freed when a new image is made). When no
   image is made (same format, unknown format, no memory) the argument itself comes back: check the
   format of the result. Subsampled chroma is averaged when narrowed and repeated when widened, so
   a conversion and its reverse give back the picture within one code value. Null gives null. */
HXAPI OpImage* opConvertImage(OpImage* image, uint32_t format, uint32_t flags);
/* Replaces *width x *height (the image's own size, shown at sourceAspect) with its size fitted into
   boxWidth x boxHeight shown at targetAspect; 30000 (or more) is an unbounded side. Aspects in
   thousandths. The result keeps the shape, lies inside the box, and meets it on at least one bounded
   side; with both sides unbounded only the aspect changes. Sizes grow or shrink alike and stay within
   1..32767. Mode 4 rounds the other side to the nearest pixel; mode 0 truncates it, so a window of
   the result never reaches past a picture it was fitted to. Nonsense (sizes or aspects <= 0) leaves
   the size unchanged. */
HXAPI void opCalcDims(int16_t* width, int16_t* height, int32_t sourceAspect, int32_t boxWidth,
                      int32_t boxHeight, int32_t targetAspect, uint32_t mode);
/* Scales source into the size of target, both of one format; 0, or -1 on failure. Shrinking averages
   the source area under each target pixel, enlarging interpolates linearly; chroma is resampled in
   its own channel. The target's pixel aspect is left as it is. */
HXAPI int32_t opScaleImage(const OpImage* source, OpImage* target, uint32_t flags);
/* Scales the window (x, y, w, h), in source pixels with sub-pixel precision, into the whole target. */
HXAPI int32_t opScaleImageSP(const OpImage* source, OpImage* target, double x, double y, double w,
                             double h, uint32_t flags);
/* One field (parity 0 or 1) of a frame; a frame woven from two fields. New images, owned.
   A field is the frame's rows of its parity ((height + 1 - parity) / 2 of them); the frame takes the
   first field's rows as its even rows, so the first field has as many rows as the second or one more.
   Format 7's half-height chroma is averaged between the rows it covers. Mode is ignored. */
HXAPI OpImage* opMakeField(const OpImage* frame, uint32_t flags, int32_t parity);
HXAPI OpImage* opMakeFrame(const OpImage* first, const OpImage* second, uint32_t flags, uint32_t mode);
/* Fills luma minimum, luma maximum, chroma minimum, chroma maximum of the video format: limited
   range, 16, 235, 16, 240, in every standard. */
HXAPI void opGetPixelRange(uint8_t range[4], uint32_t flags);
/* 0: major, 1: minor version. */
HXAPI int32_t opcVersion(int32_t which);

HX_END_DECLS

#endif
