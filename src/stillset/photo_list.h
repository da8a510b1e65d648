// Photo entries: the rules every change keeps, the trash, and the list summary.
#ifndef STILLSET_PHOTO_LIST_H
#define STILLSET_PHOTO_LIST_H

#include "host/hxscenes.h"

// Destroys every entry of trashList for good: AV records, thumbnail, stored stamp and the entry.
void emptyTrash(const char* projectDir);
// Shows the numbers of photos, included photos and left-out photos.
void showPhotoSummary();

// The changes of an entry. After a change of look the caller refreshes the photo; a new duration
// drops only the clip. The setters return true when the entry changed.
bool setIncluded(PhotoEntry* photo, int32_t included);
void toggleMirror(PhotoEntry* photo);
// Turns the picture as seen on screen by 90 degrees; a mirrored photo turns the other way.
void turnOnScreen(PhotoEntry* photo, bool clockwise);
bool setDuration(PhotoEntry* photo, int32_t frames);
// Deletes the rendered clip of an entry whose look or duration changed.
void dropClip(PhotoEntry* photo);
// Frees the entry's thumbnail and deletes its stored stamp, both made again from its settings.
void forgetThumbnail(PhotoEntry* photo, const char* projectDir);
// Destroys an entry that is in no list: AV records, thumbnail, stored stamp and the block.
void destroyPhoto(PhotoEntry* photo, const char* projectDir);

#endif
