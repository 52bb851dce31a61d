// makeswf: writes SWF files for the build (the demo game) and for tests.

#include "movies.h"
#include "swfgen.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const char kUsage[]
    = "Usage: makeswf [options] -o FILE\n"
      "  -o, --output FILE       where to write the movie\n"
      "  --width PX, --height PX stage size in pixels, fractions allowed (default 550x400)\n"
      "  --fps N                 frame rate (default 24)\n"
      "  --compression KIND      fws (plain), cws (zlib) or zws (LZMA); default fws\n"
      "  --fws, --cws, --zws     the same, shorter\n"
      "  --version N             SWF version byte (default 10)\n"
      "  --background RRGGBB     background colour\n"
      "  --rect X,Y,W,H,RRGGBB   a solid rectangle, in pixels (repeatable)\n"
      "  --frames N              number of frames (default 1)\n"
      "  --pad N                 append N bytes of unused data\n"
      "  --origin X,Y            stage rectangle from X,Y pixels (may be negative); the\n"
      "                          content is not moved with it\n"
      "  --rect-bits N           stage rectangle fields N bits wide (0-31, values must fit)\n"
      "  --cut N                 keep only the first N bytes (a damaged file)\n"
      "  --demo                  the demo game (640x480, animated, loops)\n"
      "  --colors                background #2040C0, #E03020 rectangle on the centre half\n"
      "  --saver                 counts its runs in the shared object \"vorlumen-test\";\n"
      "                          centre rectangle green (1st run), yellow (2nd), red (later)\n"
      "  --saver-path PATH       the same, the shared object of that local path (\"/\")\n"
      "  --saver-noflush         the same, but never calls flush()\n"
      "  --saver-big N           the same, then flushes N objects of 1 MiB characters\n"
      "  --flusher               60 frames a second, each flushing a shared object\n"
      "  --flusher-noflush       the same, never flushing\n"
      "  --load-vars FLAG=URL    load a variables file at start; a green square in its\n"
      "                          slot once it set FLAG to \"yes\" (repeatable, slots in a row)\n"
      "  --load-movie FLAG=URL   load a child movie into a level; the same, once the\n"
      "                          child set _level0.FLAG to \"yes\"\n"
      "  --navigate FLAG=URL     send the page to URL (getURL, _self); its slot stays empty\n"
      "  --keys CODE,...         a green square in its slot once each Flash key code\n"
      "                          (37-40 arrows, 32 Space, 13 Enter, 90 Z) was seen down\n"
      "  --set-flag FLAG         a tiny child movie that sets _level0.FLAG to \"yes\"\n"
      "  --fail-after N          on frame N, a function that calls itself without end,\n"
      "                          with Ruffle's recursion limit lifted: a movie that\n"
      "                          plays, then takes the player down (a crash mid-play)\n"
      "  --hang-after N          on frame N, a loop without end, with Ruffle's script\n"
      "                          time limit lifted: a movie that plays, then hangs\n";

enum class Preset { None, Demo, Colours, Saver, Flusher, LoadProbe, KeyProbe, Flag };

struct PixelRect
{
    double x = 0, y = 0, width = 0, height = 0;
    swfgen::Rgb colour;
};

struct Options
{
    std::string output;
    double width = 550;
    double height = 400;
    double fps = 24;
    swfgen::Compression compression = swfgen::Compression::None;
    long version = 10;
    std::optional<swfgen::Rgb> background;
    std::vector<PixelRect> rects;
    long frames = 1;
    long long pad = 0;
    std::optional<std::pair<double, double>> origin;
    int rectBits = -1;
    long long cut = -1;
    Preset preset = Preset::None;
    std::vector<swfgen::LoadRequest> loads;
    std::string flag;
    swfgen::SaverOptions saver;
    long failAfter = 0;
    long hangAfter = 0;
    std::vector<int> keyCodes;
};

[[noreturn]] void usageError(const std::string &message)
{
    std::fprintf(stderr, "makeswf: %s\n%s", message.c_str(), kUsage);
    std::exit(2);
}

double parseNumber(const std::string &text, const char *what, double low, double high)
{
    char *end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value) || value < low || value > high)
        usageError(std::string("bad ") + what + ": " + text);
    return value;
}

long long parseWhole(const std::string &text, const char *what, long long low, long long high)
{
    const double value = parseNumber(text, what, double(low), double(high));
    if (value != std::floor(value))
        usageError(std::string("bad ") + what + ": " + text);
    return static_cast<long long>(value);
}

swfgen::Compression parseCompression(const std::string &text)
{
    if (text == "fws")
        return swfgen::Compression::None;
    if (text == "cws")
        return swfgen::Compression::Zlib;
    if (text == "zws")
        return swfgen::Compression::Lzma;
    usageError("compression must be fws, cws or zws: " + text);
}

std::vector<std::string> splitAtCommas(const std::string &text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
        parts.push_back(text.substr(start, comma - start));
    parts.push_back(text.substr(start));
    return parts;
}

PixelRect parseRect(const std::string &text)
{
    const std::vector<std::string> parts = splitAtCommas(text);
    if (parts.size() != 5)
        usageError("a rectangle is X,Y,W,H,RRGGBB: " + text);
    PixelRect rect;
    rect.x = parseNumber(parts[0], "rectangle x", -1e6, 1e6);
    rect.y = parseNumber(parts[1], "rectangle y", -1e6, 1e6);
    rect.width = parseNumber(parts[2], "rectangle width", 0, 1e6);
    rect.height = parseNumber(parts[3], "rectangle height", 0, 1e6);
    if (!swfgen::parseRgb(parts[4], rect.colour))
        usageError("bad colour: " + parts[4]);
    return rect;
}

Options parseOptions(int argc, char **argv)
{
    Options options;
    // Largest stage whose twips still fit a 31-bit signed field.
    const double maxPixels = swfgen::kMaxRectTwips / 20.0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                usageError(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (arg == "-o" || arg == "--output") {
            options.output = value();
        } else if (arg == "--width") {
            options.width = parseNumber(value(), "width", 0, maxPixels);
        } else if (arg == "--height") {
            options.height = parseNumber(value(), "height", 0, maxPixels);
        } else if (arg == "--fps") {
            options.fps = parseNumber(value(), "frame rate", 0, 255.99);
        } else if (arg == "--compression") {
            options.compression = parseCompression(value());
        } else if (arg == "--fws" || arg == "--cws" || arg == "--zws") {
            options.compression = parseCompression(arg.substr(2));
        } else if (arg == "--version") {
            options.version = long(parseWhole(value(), "version", 1, 255));
        } else if (arg == "--background") {
            swfgen::Rgb colour;
            const std::string text = value();
            if (!swfgen::parseRgb(text, colour))
                usageError("bad colour: " + text);
            options.background = colour;
        } else if (arg == "--rect") {
            options.rects.push_back(parseRect(value()));
        } else if (arg == "--frames") {
            options.frames = long(parseWhole(value(), "frame count", 1, 65535));
        } else if (arg == "--pad") {
            options.pad = parseWhole(value(), "pad size", 0, 1LL << 31);
        } else if (arg == "--origin") {
            const std::vector<std::string> parts = splitAtCommas(value());
            if (parts.size() != 2)
                usageError("an origin is X,Y");
            options.origin = {parseNumber(parts[0], "origin x", -maxPixels, maxPixels),
                              parseNumber(parts[1], "origin y", -maxPixels, maxPixels)};
        } else if (arg == "--rect-bits") {
            options.rectBits = int(parseWhole(value(), "field width", 0, 31));
        } else if (arg == "--cut") {
            options.cut = parseWhole(value(), "cut length", 0, 1LL << 40);
        } else if (arg == "--demo") {
            options.preset = Preset::Demo;
        } else if (arg == "--colors" || arg == "--colours") {
            options.preset = Preset::Colours;
        } else if (arg == "--saver") {
            options.preset = Preset::Saver;
        } else if (arg == "--saver-path") {
            options.preset = Preset::Saver;
            options.saver.localPath = value();
        } else if (arg == "--flusher" || arg == "--flusher-noflush") {
            options.preset = Preset::Flusher;
            options.saver.flush = arg == "--flusher";
        } else if (arg == "--saver-noflush") {
            options.preset = Preset::Saver;
            options.saver.flush = false;
        } else if (arg == "--saver-big") {
            options.preset = Preset::Saver;
            options.saver.bigObjects = std::atoi(value().c_str());
        } else if (arg == "--load-vars" || arg == "--load-movie" || arg == "--navigate") {
            const std::string text = value();
            const size_t at = text.find('=');
            if (at == 0 || at == std::string::npos)
                usageError(arg + " takes FLAG=URL: " + text);
            const auto kind = arg == "--load-vars" ? swfgen::LoadRequest::Variables
                : arg == "--navigate"              ? swfgen::LoadRequest::Navigate
                                                   : swfgen::LoadRequest::ChildMovie;
            options.loads.push_back({kind, text.substr(at + 1), text.substr(0, at)});
            options.preset = Preset::LoadProbe;
        } else if (arg == "--fail-after") {
            options.failAfter = long(parseNumber(value(), "--fail-after", 1, 65535));
        } else if (arg == "--hang-after") {
            options.hangAfter = long(parseNumber(value(), "--hang-after", 1, 65535));
        } else if (arg == "--keys") {
            const std::string text = value();
            for (size_t at = 0; at <= text.size();) {
                const size_t comma = std::min(text.find(',', at), text.size());
                const long code = std::strtol(text.substr(at, comma - at).c_str(), nullptr, 10);
                if (code <= 0 || code > 255)
                    usageError("--keys takes Flash key codes (1-255): " + text);
                options.keyCodes.push_back(int(code));
                at = comma + 1;
            }
            options.preset = Preset::KeyProbe;
        } else if (arg == "--set-flag") {
            options.flag = value();
            options.preset = Preset::Flag;
        } else {
            usageError("unknown option: " + arg);
        }
    }
    if (options.output.empty())
        usageError("no output file (-o FILE)");
    return options;
}

swfgen::Movie plainMovie(const Options &options)
{
    swfgen::Movie movie(options.width, options.height, options.fps, uint8_t(options.version));
    if (options.background)
        movie.setBackground(*options.background);
    uint16_t depth = 1;
    for (const PixelRect &rect : options.rects) {
        const uint16_t id = movie.defineRectangle(swfgen::pixelsToTwips(rect.width),
                                                  swfgen::pixelsToTwips(rect.height), rect.colour);
        movie.place(id, depth++, swfgen::pixelsToTwips(rect.x), swfgen::pixelsToTwips(rect.y));
    }
    if (options.failAfter > 0 || options.hangAfter > 0)
        movie.scriptLimits(65535, options.hangAfter > 0 ? 65535 : 60);
    const long frames = std::max({options.frames, options.failAfter, options.hangAfter});
    for (long frame = 1; frame <= frames; ++frame) {
        if (frame == options.failAfter)
            movie.doAction(swfgen::endlessRecursionActions());
        if (frame == options.hangAfter)
            movie.doAction(swfgen::endlessLoopActions());
        movie.showFrame();
    }
    return movie;
}

swfgen::Movie movieFor(const Options &options)
{
    switch (options.preset) {
    case Preset::Demo:
        return swfgen::demoMovie();
    case Preset::Colours:
        return swfgen::colourTestMovie(options.width == 550 ? 640 : options.width,
                                       options.height == 400 ? 480 : options.height);
    case Preset::Saver:
        return swfgen::saverMovie(options.width == 550 ? 640 : options.width,
                                  options.height == 400 ? 480 : options.height, options.saver);
    case Preset::Flusher:
        return swfgen::flusherMovie(options.saver.flush);
    case Preset::LoadProbe:
        return swfgen::loadProbeMovie(options.loads, options.width, options.height);
    case Preset::KeyProbe:
        return swfgen::keyProbeMovie(options.keyCodes, options.width, options.height);
    case Preset::Flag:
        return swfgen::flagMovie(options.flag);
    case Preset::None:
        break;
    }
    return plainMovie(options);
}

bool writeFile(const std::string &path, const swfgen::Bytes &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    return bool(out);
}

} // namespace

int main(int argc, char **argv)
{
    const Options options = parseOptions(argc, argv);
    try {
        swfgen::Movie movie = movieFor(options);
        if (options.pad > 0)
            movie.pad(size_t(options.pad));
        if (options.origin)
            movie.setStageOrigin(swfgen::pixelsToTwips(options.origin->first),
                                 swfgen::pixelsToTwips(options.origin->second));
        if (options.rectBits >= 0)
            movie.setRectBits(unsigned(options.rectBits));
        swfgen::Bytes file = movie.build(options.compression);
        if (options.cut >= 0 && size_t(options.cut) < file.size())
            file.resize(size_t(options.cut));
        if (!writeFile(options.output, file)) {
            std::fprintf(stderr, "makeswf: cannot write %s: %s\n", options.output.c_str(),
                         std::strerror(errno));
            return 1;
        }
    } catch (const std::exception &error) {
        std::fprintf(stderr, "makeswf: %s\n", error.what());
        return 1;
    }
    return 0;
}
