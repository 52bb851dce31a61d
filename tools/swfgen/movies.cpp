#include "movies.h"

#include "avm1.h"

#include <algorithm>
#include <cmath>

namespace swfgen {

namespace {

constexpr double kDemoFps = 30;
constexpr int kDemoFrames = 120; // a four-second loop
const double kTau = 2.0 * std::acos(-1.0);

int32_t twips(double pixels)
{
    return pixelsToTwips(pixels);
}

struct CentreRect
{
    int32_t x, y, width, height;
};

// The centre half of the stage.
CentreRect centreHalf(const Movie &movie)
{
    return {movie.widthTwips() / 4, movie.heightTwips() / 4, movie.widthTwips() / 2,
            movie.heightTwips() / 2};
}

// Pushes so.data onto the stack.
void pushSharedData(ActionBuilder &code)
{
    code.push("so").getVariable().push("data").getMember();
}

void pushCount(ActionBuilder &code)
{
    pushSharedData(code);
    code.push("count").getMember();
}

// _root.<method>(arguments...), its result dropped; the arguments are
// pushed by the caller, last first.
void callOnRoot(ActionBuilder &code, const char *method, int32_t argumentCount)
{
    code.push(argumentCount).push("_root").getVariable().push(method).callMethod().pop();
}

// A filled square drawn with the drawing API on the root timeline.
void drawSquare(ActionBuilder &code, int32_t left, int32_t top, int32_t size, Rgb colour)
{
    code.push(int32_t(colour.r << 16 | colour.g << 8 | colour.b));
    callOnRoot(code, "beginFill", 1);
    code.push(top).push(left);
    callOnRoot(code, "moveTo", 2);
    const int32_t corners[][2]
        = {{left + size, top}, {left + size, top + size}, {left, top + size}, {left, top}};
    for (const auto &corner : corners) {
        code.push(corner[1]).push(corner[0]);
        callOnRoot(code, "lineTo", 2);
    }
    callOnRoot(code, "endFill", 0);
}

// Frame 1: ask for every file, once (the timeline loops).
Bytes loadRequestActions(const std::vector<LoadRequest> &requests)
{
    ActionBuilder code;
    code.push("started").getVariable().ifTrue("done");
    code.push("started").push(1).setVariable();
    int level = 10;
    for (const LoadRequest &request : requests) {
        code.push(request.url);
        if (request.kind == LoadRequest::Variables)
            code.push("_level0").getUrl2(0x80);
        else if (request.kind == LoadRequest::Navigate)
            code.push("_self").getUrl2(0x00);
        else
            code.push("_level" + std::to_string(level++)).getUrl2(0x00);
    }
    code.label("done");
    return code.build();
}

// The square of slot i in a row of slots across the stage, unless drawn.
void drawSlotOnce(ActionBuilder &code, size_t i, double slotWidth, int32_t size, double heightPixels)
{
    const std::string drawn = "drawn" + std::to_string(i);
    const std::string skip = "skip" + std::to_string(i);
    code.push(drawn).getVariable().ifTrue(skip);
    code.push(drawn).push(1).setVariable();
    const int32_t left = int32_t(slotWidth * (double(i) + 0.5)) - size / 2;
    const int32_t top = int32_t(heightPixels / 2) - size / 2;
    drawSquare(code, left, top, size, kLoadArrived);
    code.label(skip);
}

// Frame 2: a square for each file arrived, drawn once.
Bytes loadCheckActions(const std::vector<LoadRequest> &requests, double widthPixels,
                       double heightPixels)
{
    ActionBuilder code;
    const double slotWidth = widthPixels / double(requests.size());
    const int32_t size = int32_t(std::min(slotWidth, heightPixels) / 2);
    for (size_t i = 0; i < requests.size(); ++i) {
        const std::string next = "next" + std::to_string(i);
        code.push(requests[i].flag).getVariable().push("yes").equals().logicalNot().ifTrue(next);
        drawSlotOnce(code, i, slotWidth, size, heightPixels);
        code.label(next);
    }
    return code.build();
}

// Each frame: a square for each key seen down, drawn once.
Bytes keyCheckActions(const std::vector<int> &keyCodes, double widthPixels, double heightPixels)
{
    ActionBuilder code;
    const double slotWidth = widthPixels / double(keyCodes.size());
    const int32_t size = int32_t(std::min(slotWidth, heightPixels) / 2);
    for (size_t i = 0; i < keyCodes.size(); ++i) {
        const std::string next = "next" + std::to_string(i);
        // Key.isDown(code)
        code.push(keyCodes[i]).push(1).push("Key").getVariable().push("isDown").callMethod();
        code.logicalNot().ifTrue(next);
        drawSlotOnce(code, i, slotWidth, size, heightPixels);
        code.label(next);
    }
    return code.build();
}

} // namespace

Movie loadProbeMovie(const std::vector<LoadRequest> &requests, double widthPixels,
                     double heightPixels)
{
    Movie movie(widthPixels, heightPixels, 24);
    movie.setBackground(kLoadProbeBackground);
    movie.doAction(loadRequestActions(requests));
    movie.showFrame();
    if (!requests.empty())
        movie.doAction(loadCheckActions(requests, widthPixels, heightPixels));
    movie.showFrame();
    return movie;
}

Bytes endlessRecursionActions()
{
    ActionBuilder body;
    body.push(0).push("recurse").callFunction().pop();
    ActionBuilder code;
    code.defineFunction("recurse", body).push(0).push("recurse").callFunction().pop();
    return code.build();
}

Bytes endlessLoopActions()
{
    ActionBuilder code;
    code.label("again").jump("again");
    return code.build();
}

Movie keyProbeMovie(const std::vector<int> &keyCodes, double widthPixels, double heightPixels)
{
    Movie movie(widthPixels, heightPixels, 30);
    movie.setBackground(kLoadProbeBackground);
    if (!keyCodes.empty())
        movie.doAction(keyCheckActions(keyCodes, widthPixels, heightPixels));
    movie.showFrame();
    movie.showFrame();
    return movie;
}

Movie flagMovie(const std::string &flag)
{
    Movie movie(10, 10, 24);
    ActionBuilder code;
    code.push("_level0").getVariable().push(flag).push("yes").setMember().stop();
    movie.doAction(code.build());
    movie.showFrame();
    return movie;
}

Movie demoMovie()
{
    Movie movie(kDemoWidth, kDemoHeight, kDemoFps);
    movie.setBackground({0x10, 0x15, 0x22});

    const double floorTop = 440;
    const uint16_t floor = movie.defineRectangle(twips(kDemoWidth), twips(40), {0x27, 0x30, 0x4A});
    const double squareSize = 64;
    const uint16_t square
        = movie.defineRectangle(twips(squareSize), twips(squareSize), {0xE9, 0x4F, 0x37});
    const double ballRadius = 30;
    const uint16_t ball = movie.defineCircle(twips(ballRadius), {0xF2, 0xC1, 0x4E});
    const Rgb beadColours[] = {{0x3F, 0xA7, 0xD6},
                               {0x59, 0xCD, 0x90},
                               {0xFA, 0xC0, 0x5E},
                               {0xF7, 0x9D, 0x84},
                               {0xEE, 0x63, 0x52}};
    const double beadSize = 28;
    uint16_t beads[5];
    for (int i = 0; i < 5; ++i)
        beads[i] = movie.defineRectangle(twips(beadSize), twips(beadSize), beadColours[i]);

    for (int frame = 0; frame < kDemoFrames; ++frame) {
        const double t = double(frame) / kDemoFrames; // 0..1 over the loop
        // The square slides across and re-enters from the left.
        const double squareX = -squareSize + t * (kDemoWidth + squareSize);
        // The ball goes there and back and bounces four times on the floor.
        const double ballX = 60 + (kDemoWidth - 120) * (1 - std::fabs(1 - 2 * t));
        const double ballY = floorTop - ballRadius - 260 * std::fabs(std::sin(t * 2 * kTau));
        // The beads ripple in a wave.
        double beadY[5];
        for (int i = 0; i < 5; ++i)
            beadY[i] = 290 + 36 * std::sin(kTau * (2 * t + i / 5.0));

        if (frame == 0) {
            movie.place(floor, 1, 0, twips(floorTop));
            movie.place(square, 2, twips(squareX), twips(100));
            for (int i = 0; i < 5; ++i)
                movie.place(beads[i], uint16_t(3 + i), twips(176 + i * 64), twips(beadY[i]));
            movie.place(ball, 10, twips(ballX), twips(ballY));
        } else {
            movie.move(2, twips(squareX), twips(100));
            for (int i = 0; i < 5; ++i)
                movie.move(uint16_t(3 + i), twips(176 + i * 64), twips(beadY[i]));
            movie.move(10, twips(ballX), twips(ballY));
        }
        movie.showFrame();
    }
    return movie;
}

Movie colourTestMovie(double widthPixels, double heightPixels)
{
    Movie movie(widthPixels, heightPixels, 24);
    movie.setBackground(kColourTestBackground);
    const CentreRect area = centreHalf(movie);
    const uint16_t rect = movie.defineRectangle(area.width, area.height, kColourTestRectangle);
    movie.place(rect, 1, area.x, area.y);
    movie.showFrame();
    return movie;
}

// s = "x", doubled until it has kSaverBigChars characters; then each
// object's data.text = s and a flush().
void saveBigObjects(ActionBuilder &code, int count)
{
    code.push("s").push("x").setVariable();
    for (int chars = 1; chars < kSaverBigChars; chars *= 2)
        code.push("s").push("s").getVariable().push("s").getVariable().add().setVariable();
    for (int i = 0; i < count; ++i) {
        code.push("b").push(std::string(kSaverBigName) + std::to_string(i)).push(1);
        code.push("SharedObject").getVariable().push("getLocal").callMethod().setVariable();
        code.push("b").getVariable().push("data").getMember();
        code.push("text").push("s").getVariable().setMember();
        code.push(0).push("b").getVariable().push("flush").callMethod().pop();
    }
}

Bytes saverActions(const SaverOptions &options)
{
    const std::string &localPath = options.localPath;
    ActionBuilder code;
    code.stop();
    // so = SharedObject.getLocal("vorlumen-test"[, localPath]); a path such as
    // "/", which many real games use, is shared by every movie of the site.
    code.push("so");
    if (!localPath.empty())
        code.push(localPath);
    code.push(kSaverObjectName).push(localPath.empty() ? 1 : 2).push("SharedObject").getVariable();
    code.push("getLocal").callMethod();
    code.setVariable();
    // count = so.data.count; a first run finds undefined, which counts as 0.
    code.push("count");
    pushCount(code);
    code.setVariable();
    code.push("count").getVariable().logicalNot().ifTrue("noCount");
    code.jump("haveCount");
    code.label("noCount").push("count").push(0).setVariable();
    code.label("haveCount");
    // so.data.count = count + 1; so.flush()
    pushSharedData(code);
    code.push("count").push("count").getVariable().push(1).add().setMember();
    if (options.flush)
        code.push(0).push("so").getVariable().push("flush").callMethod().pop();
    saveBigObjects(code, options.bigObjects);
    // flash.external.ExternalInterface.call("vorlumenSaverCount", so.data.count)
    pushCount(code);
    code.push(kSaverPageFunction).push(2);
    code.push("flash").getVariable().push("external").getMember();
    code.push("ExternalInterface").getMember();
    code.push("call").callMethod().pop();
    // Show the frame of this run's colour.
    pushCount(code);
    code.push(1).equals().ifTrue("firstRun");
    pushCount(code);
    code.push(2).equals().ifTrue("secondRun");
    code.gotoFrame(3).stop().jump("end");
    code.label("firstRun").gotoFrame(1).stop().jump("end");
    code.label("secondRun").gotoFrame(2).stop();
    code.label("end");
    return code.build();
}

Movie saverMovie(double widthPixels, double heightPixels, const SaverOptions &options)
{
    Movie movie(widthPixels, heightPixels, 24);
    movie.setBackground(kSaverBackground);
    const CentreRect area = centreHalf(movie);
    const uint16_t shapes[] = {movie.defineRectangle(area.width, area.height, kSaverFirstRun),
                               movie.defineRectangle(area.width, area.height, kSaverSecondRun),
                               movie.defineRectangle(area.width, area.height, kSaverLaterRuns)};
    movie.doAction(saverActions(options));
    movie.showFrame();
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            movie.remove(1);
        movie.place(shapes[i], 1, area.x, area.y);
        movie.showFrame();
    }
    return movie;
}

Movie flusherMovie(bool flush)
{
    Movie movie(320, 240, kFlusherFramesPerSecond);
    movie.setBackground(kSaverBackground);
    const CentreRect area = centreHalf(movie);
    movie.place(movie.defineRectangle(area.width, area.height, kSaverFirstRun), 1, area.x, area.y);
    for (int frame = 0; frame < 2; ++frame) {
        ActionBuilder code;
        // so = SharedObject.getLocal(kFlusherObjectName)
        code.push("so").push(kFlusherObjectName).push(1).push("SharedObject").getVariable();
        code.push("getLocal").callMethod().setVariable();
        // n = so.data.frames, 0 when there is none; so.data.frames = n + 1
        code.push("n");
        pushSharedData(code);
        code.push("frames").getMember().setVariable();
        code.push("n").getVariable().logicalNot().ifTrue("none");
        code.jump("counted");
        code.label("none").push("n").push(0).setVariable();
        code.label("counted");
        pushSharedData(code);
        code.push("frames").push("n").getVariable().push(1).add().setMember();
        if (flush)
            code.push(0).push("so").getVariable().push("flush").callMethod().pop();
        movie.doAction(code.build());
        movie.showFrame();
    }
    return movie;
}

} // namespace swfgen
