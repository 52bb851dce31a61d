/* Starts the player, vorlumen-player beside this file, in this same process.
 *
 * Loading the web engine's libraries takes the player a good part of a
 * second before any of its own code runs, and a stop signal in that moment
 * would kill it outright. This launcher, which loads nothing but the C
 * library, holds the stop signals back before it hands over: a held signal
 * survives exec, and the player takes it once its own handlers are in, so a
 * front-end's stop at any moment ends the player the orderly way. */
#define _GNU_SOURCE
#include <errno.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

static const char playerName[] = "vorlumen-player";

int main(int argc, char **argv)
{
    (void)argc;
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGHUP);
    sigprocmask(SIG_BLOCK, &stops, NULL);

    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - sizeof playerName);
    char *slash = length > 0 ? memrchr(path, '/', (size_t)length) : NULL;
    if (!slash) {
        fprintf(stderr, "vorlumen: cannot tell where the player is installed\n");
        return 1;
    }
    memcpy(slash + 1, playerName, sizeof playerName);
    execv(path, argv);
    fprintf(stderr, "vorlumen: cannot start %s: %s\n", path, strerror(errno));
    return 1;
}
