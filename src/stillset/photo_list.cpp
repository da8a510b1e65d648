#include "photo_list.h"

#include "session.h"
#include "string_ids.h"

#include "host/hxreq.h"
#include "host/hxtext.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kLineChars = 1024;
// A catalogue format longer than this could not be formatted safely into a line.
constexpr int32_t kMaxFormatChars = 512;

const hxchar kNewline[] = {u'\n', 0};

// Formats one line of the summary and appends it with its newline.
void appendLine(hxchar* summary, int32_t stringNumber, long first, long second = 0)
{
    const hxchar* format = resGetString(session.stringCatalogue, stringNumber);
    hxchar line[kLineChars];
    line[0] = 0;
    if (format && xcslen(format) <= kMaxFormatChars)
        sxprintf(line, format, first, second);
    xcscat(summary, line);
    xcscat(summary, kNewline);
}

} // namespace

void dropClip(PhotoEntry* photo)
{
    if (photo->clip) {
        nslDeleteAVRecord(photo->clip);
        photo->clip = 0;
    }
}

void forgetThumbnail(PhotoEntry* photo, const char* projectDir)
{
    if (photo->thumbnail) {
        opFreeImage(photo->thumbnail);
        photo->thumbnail = nullptr;
    }
    nslDeleteStillsetStamp(projectDir, photo);
}

void destroyPhoto(PhotoEntry* photo, const char* projectDir)
{
    if (photo->source) {
        nslDeleteAVRecord(photo->source);
        photo->source = 0;
    }
    dropClip(photo);
    forgetThumbnail(photo, projectDir);
    std::free(photo);
}

void emptyTrash(const char* projectDir)
{
    while (auto* photo = static_cast<PhotoEntry*>(ListFirst(&session.trashList))) {
        ListRemove(&session.trashList, photo);
        destroyPhoto(photo, projectDir);
    }
}

void showPhotoSummary()
{
    long total = 0, included = 0;
    for (auto* photo = static_cast<PhotoEntry*>(ListFirst(&session.photoList)); photo;
         photo = static_cast<PhotoEntry*>(ListNext(photo))) {
        ++total;
        if (photo->included == 1)
            ++included;
    }
    hxchar summary[4 * (kLineChars + 2)];
    summary[0] = 0;
    appendLine(summary, kStrAboutVersion, 1, 1);
    xcscat(summary, kNewline);
    appendLine(summary, kStrAboutPhotos, total);
    appendLine(summary, kStrAboutIncluded, included);
    appendLine(summary, kStrAboutExcluded, total - included);

    UReqTextRequest request;
    std::memset(&request, 0, sizeof request);
    request.title = resGetString(session.stringCatalogue, kStrAbout);
    request.text = summary;
    request.style = UREQ_NOTICE;
    ureqTextRequest(&request);
}

bool setIncluded(PhotoEntry* photo, int32_t included)
{
    if (photo->included == included)
        return false;
    photo->included = included;
    return true;
}

void toggleMirror(PhotoEntry* photo)
{
    photo->mirrored = photo->mirrored == 1 ? 0 : 1;
}

void turnOnScreen(PhotoEntry* photo, bool clockwise)
{
    // The mirror is applied after the turn, so a mirrored picture turns the other way round.
    const bool photoClockwise = clockwise != (photo->mirrored == 1);
    int32_t rotation = photo->rotation + (photoClockwise ? 90 : 270);
    if (rotation >= 360)
        rotation -= 360;
    photo->rotation = static_cast<int16_t>(rotation);
}

bool setDuration(PhotoEntry* photo, int32_t frames)
{
    if (photo->duration == frames)
        return false;
    photo->duration = frames;
    dropClip(photo);
    return true;
}
