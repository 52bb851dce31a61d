// swfdump: prints a SWF file's stage size (and, on request, frame rate and
// frame count) from its header, for the player's size probe.
//
//   swfdump -X -Y game.swf   ->   -X 640 -Y 480

#include "swfheader.h"

#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

enum ExitCode { kOk = 0, kBadFile = 1, kUsage = 2 };

const char kUsageText[] = "Usage: swfdump [-X] [-Y] [-r] [-f] [--] FILE\n"
                          "Prints values from the header of a SWF file (FWS, CWS or ZWS):\n"
                          "  -X      stage width in pixels, truncated toward zero\n"
                          "  -Y      stage height in pixels, truncated toward zero\n"
                          "  -r      frame rate, two decimals\n"
                          "  -f      frame count\n"
                          "  --help  show this text\n"
                          "Values are printed in the order asked, as \"-X 640 -Y 480\".\n"
                          "Without options all four are printed.\n"
                          "Exit status: 0 on success, 1 if the file is not a readable SWF,\n"
                          "2 on a usage error.\n";

struct Request
{
    std::vector<char> fields; // 'X', 'Y', 'r', 'f' in the order given
    std::string path;
    bool help = false;
};

bool isField(const std::string &arg)
{
    return arg == "-X" || arg == "-Y" || arg == "-r" || arg == "-f";
}

// Returns false with a message on a usage error.
bool parseArguments(const std::vector<std::string> &args, Request &request, std::string &error)
{
    bool optionsEnded = false;
    bool havePath = false;
    for (const std::string &arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            request.help = true;
        } else if (!optionsEnded && isField(arg)) {
            request.fields.push_back(arg[1]);
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            error = "unknown option: " + arg;
            return false;
        } else if (havePath) {
            error = "only one file can be given";
            return false;
        } else {
            request.path = arg;
            havePath = true;
        }
    }
    if (!request.help && !havePath) {
        error = "no file given";
        return false;
    }
    if (request.fields.empty())
        request.fields = {'X', 'Y', 'r', 'f'};
    return true;
}

std::string formatField(char field, const swfheader::Header &header)
{
    char text[64];
    switch (field) {
    case 'X':
        std::snprintf(text, sizeof text, "-X %lld", static_cast<long long>(header.widthPixels()));
        break;
    case 'Y':
        std::snprintf(text, sizeof text, "-Y %lld", static_cast<long long>(header.heightPixels()));
        break;
    case 'r':
        std::snprintf(text, sizeof text, "-r %.2f", header.frameRate());
        break;
    default:
        std::snprintf(text, sizeof text, "-f %u", unsigned(header.frameCount));
        break;
    }
    return text;
}

int run(const std::vector<std::string> &args)
{
    Request request;
    std::string error;
    if (!parseArguments(args, request, error)) {
        std::fprintf(stderr, "swfdump: %s\n%s", error.c_str(), kUsageText);
        return kUsage;
    }
    if (request.help) {
        std::fputs(kUsageText, stdout);
        return kOk;
    }

    const swfheader::Result result = swfheader::readHeaderFromFile(request.path);
    if (!result.ok()) {
        std::fprintf(stderr, "swfdump: %s: %s\n", request.path.c_str(), result.detail.c_str());
        return kBadFile;
    }

    // Built whole first, so a failed write never leaves half a line behind.
    std::string line;
    for (char field : request.fields) {
        if (!line.empty())
            line += ' ';
        line += formatField(field, result.header);
    }
    line += '\n';
    if (std::fputs(line.c_str(), stdout) == EOF || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "swfdump: cannot write the result\n");
        return kBadFile;
    }
    return kOk;
}

} // namespace

#ifdef _WIN32
// Windows hands 8-bit programs their arguments in the ANSI code page, which
// loses accents; take the wide form and pass UTF-8 on.
int wmain(int argc, wchar_t **argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string utf8(size > 0 ? size_t(size) : 1, '\0');
        WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, utf8.data(), size, nullptr, nullptr);
        utf8.resize(utf8.size() - 1);
        args.push_back(utf8);
    }
    return run(args);
}
#else
int main(int argc, char **argv)
{
    return run(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
