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

#if defined(__x86_64__) && defined(__linux__)
/* The program's entry point (linked with -e): the stop signals are held
 * back by its very first instruction, before the C library starts, then the
 * C library's own entry runs as usual. A signal that comes before this
 * process first runs at all still kills it; nothing inside a program can
 * close that. */
__asm__(".globl vorlumen_entry\n"
        ".type vorlumen_entry, @function\n"
        "vorlumen_entry:\n"
        "    mov $14, %eax\n" /* rt_sigprocmask */
        "    xor %edi, %edi\n" /* SIG_BLOCK */
        "    lea vorlumen_stop_mask(%rip), %rsi\n"
        "    xor %edx, %edx\n" /* no old mask wanted; 0 is also what _start expects here */
        "    mov $8, %r10d\n" /* the kernel's signal set size */
        "    syscall\n"
        "    jmp _start\n");
/* SIGHUP (1), SIGINT (2) and SIGTERM (15), one bit each from bit 0. */
const unsigned long vorlumen_stop_mask = (1UL << (SIGHUP - 1)) | (1UL << (SIGINT - 1))
    | (1UL << (SIGTERM - 1));
#endif

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
