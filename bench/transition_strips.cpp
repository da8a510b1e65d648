// Writes one PNG per transition of the host: seven positions side by side, so a person can look at
// what export will show. Each cell is a whole frame at one position, or with --woven a frame woven
// from two fields rendered at their own instants (fast motion then combs, as on interlaced video).
// Usage: transition_strips [--woven] DIR
#include "host/hxopcommon.h"
#include "hxhost/for_people.h"
#include "hxhost/setup.h"
#include "hxhost/transitions.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kWidth = 320, kHeight = 256, kCells = 7;

// Two pictures easy to tell apart: vertical colour bars, and a blue-to-yellow ramp with rings.
OpImage* picture(bool second)
{
    OpImage* image = opAllocImage(kWidth, kHeight, OP_FORMAT_YUVA, 0);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            uint8_t* p = image->planes[0] + (static_cast<size_t>(y) * kWidth + x) * 4;
            int luma, u, v;
            if (!second) {
                static const int bars[7][3] = {{180, 128, 128}, {162, 44, 142}, {131, 156, 44}, {112, 72, 58},
                                               {84, 184, 198}, {65, 100, 212}, {35, 212, 114}};
                const int* bar = bars[x * 7 / kWidth];
                luma = bar[0], u = bar[1], v = bar[2];
            } else {
                const double r = std::hypot(x - kWidth / 2.0, y - kHeight / 2.0);
                luma = 60 + (x * 150) / kWidth + (static_cast<int>(r) / 12 % 2 ? 20 : 0);
                u = 200 - (x * 120) / kWidth;
                v = 100 + (y * 60) / kHeight;
            }
            p[0] = 0xFF, p[1] = static_cast<uint8_t>(u), p[2] = static_cast<uint8_t>(v), p[3] = static_cast<uint8_t>(luma);
        }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    const bool woven = argc == 3 && std::string(argv[1]) == "--woven";
    if (argc != 2 && !woven) {
        std::fprintf(stderr, "usage: transition_strips [--woven] DIR\n");
        return 2;
    }
    const std::string directory = argv[argc - 1];
    hxhost::reset();
    OpImage* frames[2] = {picture(false), picture(true)};
    OpImage* fields[2][2];
    for (int i = 0; i < 2; ++i)
        for (int parity = 0; parity < 2; ++parity)
            fields[i][parity] = opMakeField(frames[i], 0, parity);
    OpImage* strip = opAllocImage(kWidth * kCells, kHeight, OP_FORMAT_YUVA, 0);
    int status = 0;
    for (const hxhost::TransitionType& type : hxhost::transitionCatalogue()) {
        const std::vector<uint8_t> prefs = type.defaultPrefs();
        for (int cell = 0; cell < kCells; ++cell) {
            OpImage* frame = woven ? nullptr : opCloneImage(frames[0], 0);
            std::string error;
            if (frame && !hxhost::renderTransition(type, prefs.data(), prefs.size(), frames[0], frames[1], frame,
                                                   cell / (kCells - 1.0), -1, &error)) {
                std::fprintf(stderr, "%s: %s\n", type.file.c_str(), error.c_str());
                status = 1;
            }
            OpImage* out[2] = {};
            for (int parity = 0; parity < 2 && woven; ++parity) {
                out[parity] = opCloneImage(fields[0][parity], 0);
                // The cells are frames 0..6 of a 6-frame-long look: each field at its own instant.
                const double position = (2.0 * cell + parity) / (2.0 * (kCells - 1));
                if (!hxhost::renderTransition(type, prefs.data(), prefs.size(), fields[0][parity], fields[1][parity],
                                              out[parity], position, parity, &error)) {
                    std::fprintf(stderr, "%s: %s\n", type.file.c_str(), error.c_str());
                    status = 1;
                }
            }
            if (woven)
                frame = opMakeFrame(out[0], out[1], 0, 0);
            for (int y = 0; y < kHeight; ++y)
                std::memcpy(strip->planes[0] + (static_cast<size_t>(y) * kWidth * kCells + cell * kWidth) * 4,
                            frame->planes[0] + static_cast<size_t>(y) * kWidth * 4, kWidth * 4);
            opFreeImage(frame);
            opFreeImage(out[0]);
            opFreeImage(out[1]);
        }
        std::string error;
        const std::string path = directory + "/" + type.file + (woven ? "-woven" : "") + ".png";
        if (!hxhost::writeImagePng(strip, path, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            status = 1;
        } else {
            std::printf("%s\n", path.c_str());
        }
    }
    opFreeImage(strip);
    for (int i = 0; i < 2; ++i) {
        opFreeImage(frames[i]);
        opFreeImage(fields[i][0]);
        opFreeImage(fields[i][1]);
    }
    return status;
}
