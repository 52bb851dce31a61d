// Preloaded into the mapper by the profile test, and into the player by the
// pad roads: gives it one standard game controller, since a test machine
// has no gamepad. It is SDL's own virtual
// controller, so everything from SDL's controller mapping onwards (the
// mapper, its profile, the key events on the X server) is the real thing.
//
// The test moves the controller by writing lines to the FIFO named by
// $VORLUMEN_TEST_PAD_FIFO: "button INDEX 0|1" or "axis INDEX VALUE", with
// SDL's standard controller numbering (button 0 A ... 14 d-pad right).
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <thread>

namespace {

struct SDL_Joystick;
using InitFunction = int (*)(unsigned);
using AttachFunction = int (*)(int type, int axes, int buttons, int hats);
using OpenFunction = SDL_Joystick *(*)(int);
using SetButtonFunction = int (*)(SDL_Joystick *, int, unsigned char);
using SetAxisFunction = int (*)(SDL_Joystick *, int, short);

constexpr int StandardControllerType = 1; // SDL_JOYSTICK_TYPE_GAMECONTROLLER
constexpr int StandardAxes = 6;
constexpr int StandardButtons = 15;

// SDL as loaded by the program: linked in (the mapper) or brought by a
// plug-in in its own scope (the player's pad reader), where only its
// handle finds it.
void *sdlLibrary()
{
    static void *library = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_NOLOAD);
    return library != nullptr ? library : RTLD_DEFAULT;
}

template<typename Function> Function sdlFunction(const char *name)
{
    return reinterpret_cast<Function>(dlsym(sdlLibrary(), name));
}

void followCommands(SDL_Joystick *pad, const char *fifo)
{
    auto setButton = sdlFunction<SetButtonFunction>("SDL_JoystickSetVirtualButton");
    auto setAxis = sdlFunction<SetAxisFunction>("SDL_JoystickSetVirtualAxis");
    for (;;) {
        FILE *commands = std::fopen(fifo, "r");
        if (commands == nullptr)
            return;
        char kind[16];
        int index = 0;
        int value = 0;
        while (std::fscanf(commands, "%15s %d %d", kind, &index, &value) == 3) {
            if (kind[0] == 'b')
                setButton(pad, index, static_cast<unsigned char>(value));
            else
                setAxis(pad, index, static_cast<short>(value));
        }
        std::fclose(commands);
    }
}

void attachController()
{
    const char *fifo = std::getenv("VORLUMEN_TEST_PAD_FIFO");
    auto attach = sdlFunction<AttachFunction>("SDL_JoystickAttachVirtual");
    auto open = sdlFunction<OpenFunction>("SDL_JoystickOpen");
    if (fifo == nullptr || attach == nullptr || open == nullptr)
        return;
    int index = attach(StandardControllerType, StandardAxes, StandardButtons, 0);
    SDL_Joystick *pad = index >= 0 ? open(index) : nullptr;
    if (pad != nullptr)
        std::thread(followCommands, pad, fifo).detach();
}

} // namespace

extern "C" int SDL_Init(unsigned flags)
{
    static bool attached = false;
    auto realInit = reinterpret_cast<InitFunction>(dlsym(RTLD_NEXT, "SDL_Init"));
    if (realInit == nullptr)
        realInit = sdlFunction<InitFunction>("SDL_Init");
    if (realInit == nullptr)
        return -1;
    int result = realInit(flags);
    if (result == 0 && !attached) {
        attached = true;
        attachController();
    }
    return result;
}
