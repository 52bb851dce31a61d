// Stand-ins for the two processes around the mapper launcher:
//   run under the name "antimicrox" (a link), it plays the mapper: writes
//     its pid and arguments to $VORLUMEN_TEST_RECORD, then waits for a signal;
//   tst_mapper_helper parent PROGRAM [ARG...] plays the player: starts
//     PROGRAM, prints its pid, then waits to be killed.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string>
#include <unistd.h>

extern char **environ;

namespace {

[[noreturn]] void waitForever()
{
    for (;;)
        pause();
}

// The record appears whole (written aside, then renamed), so the test can
// read it as soon as the file exists.
int recordArguments(int argc, char **argv)
{
    const char *record = std::getenv("VORLUMEN_TEST_RECORD");
    if (record == nullptr)
        return 2;
    const std::string partial = std::string(record) + ".partial";
    FILE *file = std::fopen(partial.c_str(), "wb");
    if (file == nullptr)
        return 2;
    std::fprintf(file, "%ld\n", static_cast<long>(getpid()));
    // Each argument ends with a NUL byte, so any text, newlines included,
    // comes back exactly.
    for (int i = 1; i < argc; ++i)
        std::fwrite(argv[i], 1, std::strlen(argv[i]) + 1, file);
    if (std::fclose(file) != 0 || std::rename(partial.c_str(), record) != 0)
        return 2;
    waitForever();
}

int startChild(char **childArgv)
{
    pid_t child = 0;
    int error = posix_spawn(&child, childArgv[0], nullptr, nullptr, childArgv, environ);
    if (error != 0) {
        std::fprintf(stderr, "parent: cannot start %s: %s\n", childArgv[0], std::strerror(error));
        return 2;
    }
    std::printf("%ld\n", static_cast<long>(child));
    std::fflush(stdout);
    waitForever();
}

} // namespace

int main(int argc, char **argv)
{
    const char *slash = std::strrchr(argv[0], '/');
    if (std::strcmp(slash ? slash + 1 : argv[0], "antimicrox") == 0)
        return recordArguments(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], "parent") == 0)
        return startChild(argv + 2);
    std::fprintf(stderr, "usage: antimicrox [ARG...] | %s parent PROGRAM [ARG...]\n", argv[0]);
    return 2;
}
