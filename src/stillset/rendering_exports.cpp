// The host's calls for a photo's pictures: the corrected full picture and one finished field.
#include "exports.h"
#include "fit_and_pad.h"
#include "output_frame.h"
#include "photo_fetch.h"
#include "photo_geometry.h"
#include "tone.h"

#include "host/hxgui.h"
#include "host/hxmotion.h"

namespace {

OpImage* cropAndTurn(const PhotoEntry* photo, OpImage* picture)
{
    picture = cropImage(picture, static_cast<int16_t>(photo->cropX), static_cast<int16_t>(photo->cropY),
                        static_cast<int16_t>(photo->cropWidth), static_cast<int16_t>(photo->cropHeight));
    if (photo->rotation != 0)
        picture = rotateImage(picture, photo->rotation);
    return picture;
}

void toneAndMirror(const PhotoEntry* photo, OpImage* picture)
{
    toneCorrect(picture, photo->brightness, photo->contrast, photo->saturation, photo->gamma);
    if (photo->mirrored == 1)
        mirrorImage(picture);
}

} // namespace

OpImage* stillsetDoPhoto(const PhotoEntry* photo, OpImage* picture)
{
    if (!picture || !photo)
        return picture;
    picture = cropAndTurn(photo, picture);
    toneAndMirror(photo, picture);
    return picture;
}

OpImage* stillsetGetFinalField(const PhotoEntry* photo, int32_t selector)
{
    if (!photo || !outputFrameKnown())
        return nullptr;
    OpImage* picture = fetchPhotoImage(photo);
    if (!picture)
        return nullptr;
    picture = cropAndTurn(photo, picture);
    picture = scaleAndPad(picture, frameWidth, frameHeight, static_cast<uint16_t>(ugGetPixelAspect(1)));
    // Tone and mirror after the fit: the border goes through the tables and is mirrored with the picture.
    toneAndMirror(photo, picture);
    OpImage* even = opMakeField(picture, 0, 0);
    OpImage* odd = opMakeField(picture, 0, 1);
    opFreeImage(picture);
    const bool wantOdd = cmGetFirstFieldStatus() ? selector == 1 : selector != 1;
    opFreeImage(wantOdd ? even : odd);
    return wantOdd ? odd : even;
}
