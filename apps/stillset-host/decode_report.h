// What --count-decodes prints: how often each photo was decoded, and at what size.
#ifndef STILLSET_HOST_DECODE_REPORT_H
#define STILLSET_HOST_DECODE_REPORT_H

// One line a photo file of the project: "decodes of media/NAME: N (WxH small, WxH)".
void printDecodeCounts();

#endif
