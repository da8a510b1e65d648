// Setting up the reference host: a fresh state, the installation (HXHOME, resources), the project
// number, the video timing and service versions a plug-in finds, where the tool's files are stored,
// and how the host's picture work runs. Used by the host program, the tests and the benchmarks.
#ifndef HXHOST_SETUP_H
#define HXHOST_SETUP_H

#include "hxhost/api.h"
#include "hxhost/video_format.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace hxhost {

// The three services whose versions a plug-in checks before it starts.
enum class Service { SceneList, ImageOps, Requesters };

struct Version {
    int32_t major = 0;
    int32_t minor = 0;
};

// Back to the state of a freshly started host: HXHOME unset, project 0, PAL with timing, current
// service versions, empty log, no faults, zero counters, the default scripted user, empty scene bin.
HXHOST_API void reset();

// The installation root; also exported to the process environment as HXHOME.
HXHOST_API void setHome(const std::string& directory);
HXHOST_API void unsetHome();
HXHOST_API std::string home();
// Lays out an installation under `directory` (operator files, pan presets) and makes it HXHOME.
HXHOST_API bool installHome(const std::string& directory, std::string* error = nullptr);
// Where the program catalogues ("<root>/<program>/strings.txt") are loaded from.
HXHOST_API void setResourceRoot(const std::string& directory);

HXHOST_API void setProjectNumber(int32_t number);
// The video format: hxhost/video_format.h. Without timing, cmOpen answers null. A rate override
// replaces the format's frame rate.
HXHOST_API void setTimingAvailable(bool available);
HXHOST_API void setFrameRateOverride(int64_t framesPerSecond); // negative: none
HXHOST_API void setServiceVersion(Service service, Version version);
HXHOST_API Version currentVersion(Service service);
HXHOST_API void setFirstFieldStatus(int32_t status);
// Host functions that vxsSymFind may be told to deny (as an older host would).
HXHOST_API void setSymbolAvailable(const std::string& name, bool available);

// ---- Storage paths ----
HXHOST_API std::string photoListPath(const std::string& directory);
HXHOST_API std::string stampPath(const std::string& directory, uint32_t id);

// ---- How the picture work runs ----
// Stills with more decoded pixels are decoded at 1/2, 1/4 or 1/8 size (JPEG) or refused.
constexpr size_t kDefaultStillPixelLimit = 50000000;
HXHOST_API void setStillPixelLimit(size_t pixels);
// Whether opScaleImageSP may read a window scaled far down from a halved copy of its source (on by default).
HXHOST_API void setReducedCopies(bool enabled);
// The widest vector instructions the pixel loops may use. Every width gives the same pixels; by
// default the loops take the widest the processor has, and a lower limit runs the narrower ones.
// A reset lifts the limit.
enum class VectorWidth { Basic, Avx2, Avx512 };
HXHOST_API void limitVectorWidth(VectorWidth widest);
// How many threads the larger pixel loops (scaling, weaving) split a picture's rows between, the
// calling thread included; 1, the default, keeps them on the calling thread. Every count gives the
// same pixels. A reset sets it back to 1.
HXHOST_API void setPixelThreads(int32_t threads);

} // namespace hxhost

#endif
