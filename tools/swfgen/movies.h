#pragma once

// The movies the build and the tests need: the demo game, a movie of known
// colours for screenshot checks, and a movie that counts its own runs in a
// SharedObject.

#include "swfgen.h"

#include <string>
#include <vector>

namespace swfgen {

// Known colours of the colour test movie: the background fills the stage and
// a rectangle covers its centre half (from a quarter to three quarters of
// the width and of the height).
constexpr Rgb kColourTestBackground {0x20, 0x40, 0xC0};
constexpr Rgb kColourTestRectangle {0xE0, 0x30, 0x20};

// The run-counting movie keeps `count` in the local shared object named
// kSaverObjectName, shows the count as the colour of a centred rectangle
// (same place as above) and reports it to the page by calling the page
// function kSaverPageFunction(count) through the external interface.
constexpr const char *kSaverObjectName = "vorlumen-test";
constexpr const char *kSaverPageFunction = "vorlumenSaverCount";
constexpr Rgb kSaverBackground {0x30, 0x30, 0x30};
constexpr Rgb kSaverFirstRun {0x20, 0xC0, 0x40};
constexpr Rgb kSaverSecondRun {0xE0, 0xC0, 0x20};
constexpr Rgb kSaverLaterRuns {0xE0, 0x30, 0x20};

constexpr double kDemoWidth = 640;
constexpr double kDemoHeight = 480;

// The load-probe movie asks for files when it starts and shows, in a row of
// slots across the stage, a square of kLoadArrived for each file that came.
// A variables file arrives when it sets `flag` to "yes" on _level0; a child
// movie when it does so itself (see flagMovie).
struct LoadRequest
{
    enum Kind { Variables, ChildMovie, Navigate } kind;
    std::string url;
    std::string flag;
};
constexpr Rgb kLoadProbeBackground {0x30, 0x30, 0x30};
constexpr Rgb kLoadArrived {0x20, 0xC0, 0x40};

Movie demoMovie();
Movie colourTestMovie(double widthPixels, double heightPixels);
// How the run-counting movie saves: flush() after counting or never (its
// data then kept only if the player writes it when the movie ends), and
// how many large objects (kSaverBigName + index, `text` a string of
// kSaverBigChars characters) it flushes after counting.
struct SaverOptions
{
    std::string localPath;
    bool flush = true;
    int bigObjects = 0;
};
constexpr const char *kSaverBigName = "vorlumen-big";
constexpr int kSaverBigChars = 1 << 20;

Movie saverMovie(double widthPixels, double heightPixels, const SaverOptions &options = {});
// A looping movie that adds one to `frames` in the shared object
// kFlusherObjectName every frame and flushes it when asked to (bench/saves).
constexpr const char *kFlusherObjectName = "vorlumen-frames";
constexpr double kFlusherFramesPerSecond = 60;
Movie flusherMovie(bool flush);
Movie loadProbeMovie(const std::vector<LoadRequest> &requests, double widthPixels,
                     double heightPixels);
// The key-probe movie watches the Flash key codes given (Key.isDown, each
// frame) and shows a kLoadArrived square in a slot of the row, as the load
// probe does, once its key has been seen down.
Movie keyProbeMovie(const std::vector<int> &keyCodes, double widthPixels, double heightPixels);
// A tiny movie that sets _level0[flag] to "yes" when it plays.
Movie flagMovie(const std::string &flag);
// Defines a function that calls itself without end, and calls it.
Bytes endlessRecursionActions();
// A loop without end.
Bytes endlessLoopActions();
// The bytecode of the run-counting movie's first frame.
Bytes saverActions(const SaverOptions &options = {});

} // namespace swfgen
