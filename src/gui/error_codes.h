// What the interface leaves in errno when it fails: the host's error reports know these numbers.
#ifndef STILLSET_GUI_ERROR_CODES_H
#define STILLSET_GUI_ERROR_CODES_H

enum GuiErrorCode : int {
    kNoImageMemory = 0x12F0006,     // a converted GUI image could not be allocated
    kNoCatalogueImage = 0x12F0018,  // a catalogue image to convert was missing
    kNoLanguageOption = 0x14D0001,  // the first language has no such option
    kNoLanguageList = 0x14D000A,    // the host has no language list
};

#endif
