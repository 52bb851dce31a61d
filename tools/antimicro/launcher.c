/* Starts the gamepad mapper (antimicrox) with the player's arguments, and
 * ties its life to the player's: a cabinet must never be left with a stray
 * mapper typing keys after the player is gone, even when the player was
 * killed outright and had no chance to stop it.
 *
 * The mapper replaces this process (execv, no shell), so the player's own
 * handle on its child is a handle on the mapper itself. A small guard
 * process stays behind to make sure of the mapper's end (see guard_mapper). */

#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

enum { EXIT_NOT_FOUND = 127, EXIT_NOT_RUNNABLE = 126 };

static const char MAPPER_NAME[] = "antimicrox";
static const char OVERRIDE_VARIABLE[] = "VORLUMEN_ANTIMICROX";
/* Used when PATH is unset, as execvp would. */
static const char FALLBACK_PATH[] = "/usr/local/bin:/usr/bin:/bin";

static int is_executable_file(const char *path)
{
    struct stat info;
    return stat(path, &info) == 0 && S_ISREG(info.st_mode) && access(path, X_OK) == 0;
}

/* Looks the mapper up on PATH ourselves rather than through execvp, whose
 * fallback runs a file without a #! line through /bin/sh. Returns 1 and
 * fills found when an executable is found. */
static int find_on_path(const char *name, char *found, size_t size)
{
    const char *search = getenv("PATH");
    if (search == NULL)
        search = FALLBACK_PATH;

    for (const char *dir = search;; ++dir) {
        const char *end = strchr(dir, ':');
        size_t length = end ? (size_t)(end - dir) : strlen(dir);
        /* An empty entry would mean the current folder: never run a mapper
         * from wherever the player happened to be started. */
        if (length > 0) {
            int written = snprintf(found, size, "%.*s/%s", (int)length, dir, name);
            if (written > 0 && (size_t)written < size && is_executable_file(found))
                return 1;
        }
        if (end == NULL)
            return 0;
        dir = end;
    }
}

/* Asks the kernel to send SIGTERM when our parent ends; the request
 * survives execv, so it covers the mapper. Returns 0 when the parent had
 * already gone before the request took effect. */
static int follow_parent(pid_t parent)
{
    if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0) {
        perror("antimicro: cannot tie the mapper to the player");
        return 0;
    }
    return getppid() == parent;
}

static int open_pidfd(pid_t pid)
{
    return (int)syscall(SYS_pidfd_open, pid, 0);
}

static int send_signal(int pidfd, int signal)
{
    return (int)syscall(SYS_pidfd_send_signal, pidfd, signal, NULL, 0);
}

/* Waits up to timeout_ms for the process behind pidfd to end. */
static int has_ended(int pidfd, int timeout_ms)
{
    struct pollfd watch = {pidfd, POLLIN, 0};
    int ready;
    do
        ready = poll(&watch, 1, timeout_ms);
    while (ready < 0 && errno == EINTR);
    return ready > 0;
}

/* The guard outlives the player by a moment and makes sure the mapper goes
 * too. The kernel's one SIGTERM is not enough on its own: antimicrox drops
 * a SIGTERM that arrives while it is still starting up, and would then run
 * on. So once the player has gone the guard asks again, and after a grace
 * period ends the mapper outright. It leaves by itself when the mapper
 * ends first. */
static void guard_mapper(int player, int mapper)
{
    enum { PLAYER = 0, MAPPER = 1, RETRY_MS = 250, GRACE_MS = 3000 };
    struct pollfd watch[2] = {{player, POLLIN, 0}, {mapper, POLLIN, 0}};
    while (poll(watch, 2, -1) < 0 && errno == EINTR)
        ;
    if (watch[MAPPER].revents != 0 || watch[PLAYER].revents == 0)
        return;
    for (int waited = 0; waited < GRACE_MS; waited += RETRY_MS) {
        if (send_signal(mapper, SIGTERM) != 0 || has_ended(mapper, RETRY_MS))
            return;
    }
    send_signal(mapper, SIGKILL);
}

/* Runs the guard as a grandchild, so that it is no part of the mapper's
 * process tree. */
static void spawn_guard(int player, int mapper)
{
    pid_t middle = fork();
    if (middle == 0) {
        if (fork() == 0) {
            /* Hold none of the player's pipes open. */
            int null = open("/dev/null", O_RDWR);
            if (null >= 0) {
                dup2(null, STDIN_FILENO);
                dup2(null, STDOUT_FILENO);
                close(null);
            }
            guard_mapper(player, mapper);
        }
        _exit(0);
    }
    if (middle > 0)
        while (waitpid(middle, NULL, 0) < 0 && errno == EINTR)
            ;
}

/* The guard watches pidfds, not bare pids that could be reused: one for
 * the player and one for this process, which becomes the mapper. Without
 * pidfds (kernels before 5.3) the kernel's SIGTERM has to do. */
static void start_guard(pid_t parent)
{
    int player = open_pidfd(parent);
    int mapper = open_pidfd(getpid());
    if (player >= 0 && mapper >= 0 && getppid() == parent)
        spawn_guard(player, mapper);
    /* The mapper has no use for them (they are close-on-exec anyway). */
    if (player >= 0)
        close(player);
    if (mapper >= 0)
        close(mapper);
}

int main(int argc, char **argv)
{
    (void)argc;
    pid_t parent = getppid();

    char found[PATH_MAX];
    const char *mapper = getenv(OVERRIDE_VARIABLE);
    if (mapper == NULL || mapper[0] == '\0') {
        if (!find_on_path(MAPPER_NAME, found, sizeof found)) {
            fprintf(stderr,
                    "antimicro: the gamepad mapper '%s' is not installed (not found on PATH; "
                    "set %s to its path)\n",
                    MAPPER_NAME, OVERRIDE_VARIABLE);
            return EXIT_NOT_FOUND;
        }
        mapper = found;
    }

    if (!follow_parent(parent)) {
        fprintf(stderr, "antimicro: the player has already ended; the mapper is not started\n");
        return EXIT_FAILURE;
    }
    start_guard(parent);

    /* The arguments go on exactly as received; only the program changes. */
    argv[0] = (char *)mapper;
    execv(mapper, argv);

    int error = errno;
    fprintf(stderr, "antimicro: cannot start the gamepad mapper '%s': %s\n", mapper,
            strerror(error));
    return error == ENOENT || error == ENOTDIR ? EXIT_NOT_FOUND : EXIT_NOT_RUNNABLE;
}
