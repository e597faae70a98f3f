/* The "open" action on Linux desktops: the desktop's default opener, xdg-open, started without a
 * shell, in the document's folder, with the document name as its only argument, so no file
 * name can be read as a command.
 *
 * Outcomes in the shell's terms:
 *   folder missing or not a folder                      3  ERROR_PATH_NOT_FOUND
 *   document missing                                    2  ERROR_FILE_NOT_FOUND
 *   folder or document not readable                     5  SE_ERR_ACCESSDENIED
 *   xdg-open not installed (not on PATH)                32 SE_ERR_DLLNOTFOUND
 *   xdg-open not a program the system can run           11 ERROR_BAD_FORMAT
 *   xdg-open being written (text file busy)             26 SE_ERR_SHARE
 *   no process or descriptor left / no memory           0 / 8 SE_ERR_OOM
 *   xdg-open exits 0, or still runs after 3 s           success
 *   xdg-open exits 2 (file does not exist)              2  ERROR_FILE_NOT_FOUND
 *   xdg-open exits 3 (no application or tool for it)    31 SE_ERR_NOASSOC
 *   xdg-open exits 1 or 4 or otherwise fails            27 SE_ERR_ASSOCINCOMPLETE
 *     (1: it took the name as an option, as it does with a leading '-';
 *      4: the application it chose failed)
 */
#define _GNU_SOURCE

#include "opener.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#define OPENER "xdg-open"
#define OPENER_DEFAULT_PATH "/usr/local/bin:/usr/bin:/bin"
/* In its generic mode xdg-open runs the application in the foreground; a failure shows well
 * within this time, and after it the document is taken as opened. */
#define OPENER_WAIT_MS 3000
#define OPENED 42

enum { NO_REPORT, STAGE_CHDIR, STAGE_FORK, STAGE_EXEC, STAGE_EXITED, STAGE_SIGNALLED, STAGE_RUNNING };

/* What the opener's processes tell the caller through a pipe. */
typedef struct report {
    int stage;
    int value; /* errno, exit status or signal */
} report;

static intptr_t folder_failure(int err)
{
    switch (err) {
    case EACCES:
    case EPERM: return 5;
    case ENOMEM: return 8;
    default: return 3;
    }
}

static intptr_t document_failure(int err)
{
    switch (err) {
    case EACCES:
    case EPERM: return 5;
    case ENOMEM: return 8;
    default: return 2;
    }
}

static intptr_t resource_failure(int err)
{
    return err == ENOMEM ? 8 : 0;
}

static intptr_t exec_failure(int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR: return 32;
    case EACCES:
    case EPERM: return 5;
    case ENOEXEC:
    case ELIBBAD: return 11;
    case ETXTBSY: return 26;
    case ENOMEM:
    case E2BIG: return 8;
    default: return 0;
    }
}

static intptr_t check_folder(const char* folder)
{
    struct stat st;
    if (stat(folder, &st) != 0) return folder_failure(errno);
    if (!S_ISDIR(st.st_mode)) return 3;
    if (access(folder, X_OK) != 0) return folder_failure(errno);
    return OPENED;
}

static intptr_t check_document(const char* folder, const char* document)
{
    if (document[0] == '\0') return 2;
    const size_t folder_len = strlen(folder), document_len = strlen(document);
    char* path = malloc(folder_len + 1 + document_len + 1);
    if (path == NULL) return 8;
    if (document[0] == '/') {
        memcpy(path, document, document_len + 1);
    } else {
        memcpy(path, folder, folder_len);
        path[folder_len] = '/';
        memcpy(path + folder_len + 1, document, document_len + 1);
    }
    struct stat st;
    int rc = stat(path, &st);
    if (rc == 0) rc = access(path, R_OK);
    const int err = errno;
    free(path);
    return rc == 0 ? OPENED : document_failure(err);
}

/* The opener's absolute path, found on PATH as a shell would, so that it still holds in the
 * document's folder; NULL with errno ENOENT or ENOMEM. The caller frees it. */
static char* find_opener(void)
{
    const char* list = getenv("PATH");
    if (list == NULL) list = OPENER_DEFAULT_PATH;
    for (const char* entry = list;;) {
        const char* end = strchr(entry, ':');
        const size_t len = end != NULL ? (size_t)(end - entry) : strlen(entry);
        char* candidate = malloc(len + 2 + sizeof OPENER);
        if (candidate == NULL) return NULL;
        if (len == 0) {
            strcpy(candidate, ".");
        } else {
            memcpy(candidate, entry, len);
            candidate[len] = '\0';
        }
        strcat(candidate, "/" OPENER);
        struct stat st;
        if (stat(candidate, &st) == 0 && S_ISREG(st.st_mode) && access(candidate, X_OK) == 0) {
            if (candidate[0] == '/') return candidate;
            char* absolute = realpath(candidate, NULL);
            free(candidate);
            return absolute;
        }
        free(candidate);
        if (end == NULL) break;
        entry = end + 1;
    }
    errno = ENOENT;
    return NULL;
}

static void send_report(int fd, int stage, int value)
{
    const report r = {stage, value};
    while (write(fd, &r, sizeof r) < 0 && errno == EINTR) {
    }
}

static long milliseconds_since(const struct timespec* start)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long)(now.tv_sec - start->tv_sec) * 1000 + (now.tv_nsec - start->tv_nsec) / 1000000;
}

/* The intermediate process: starts the opener as its own child and watches it for
 * OPENER_WAIT_MS, then exits. An opener still running then is adopted by init, so no zombie
 * is left behind in the program. The program may have other threads, so only
 * async-signal-safe calls from here on. */
static _Noreturn void run_opener(int out, const char* folder, const char* opener, char* const argv[])
{
    signal(SIGCHLD, SIG_DFL);
    if (chdir(folder) != 0) {
        send_report(out, STAGE_CHDIR, errno);
        _exit(0);
    }
    const pid_t child = fork();
    if (child < 0) {
        send_report(out, STAGE_FORK, errno);
        _exit(0);
    }
    if (child == 0) {
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, NULL);
        signal(SIGPIPE, SIG_DFL);
#ifdef CLOSE_RANGE_CLOEXEC
        close_range(3, ~0U, CLOSE_RANGE_CLOEXEC); /* the program's descriptors stay with it */
#endif
        execv(opener, argv);
        send_report(out, STAGE_EXEC, errno);
        _exit(127);
    }
    struct timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    const struct timespec pause = {0, 10 * 1000 * 1000};
    while (milliseconds_since(&start) < OPENER_WAIT_MS) {
        int status;
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) {
            if (WIFEXITED(status))
                send_report(out, STAGE_EXITED, WEXITSTATUS(status));
            else
                send_report(out, STAGE_SIGNALLED, WTERMSIG(status));
            _exit(0);
        }
        if (done < 0 && errno != EINTR) break;
        nanosleep(&pause, NULL);
    }
    send_report(out, STAGE_RUNNING, 0);
    _exit(0);
}

static intptr_t outcome(report said, report exec)
{
    if (exec.stage == STAGE_EXEC) return exec_failure(exec.value);
    switch (said.stage) {
    case STAGE_CHDIR: return folder_failure(said.value);
    case STAGE_FORK: return resource_failure(said.value);
    case STAGE_RUNNING: return OPENED;
    case STAGE_EXITED:
        switch (said.value) {
        case 0: return OPENED;
        case 2: return 2;
        case 3: return 31;
        default: return 27;
        }
    case STAGE_SIGNALLED: return 27;
    default: return 0; /* the intermediate process died without a word */
    }
}

intptr_t launchdoc_open(const char* folder, const char* document)
{
    intptr_t result = check_folder(folder);
    if (result <= 32) return result;
    result = check_document(folder, document);
    if (result <= 32) return result;

    char* opener = find_opener();
    if (opener == NULL) return errno == ENOMEM ? 8 : 32;
    char* const argv[] = {(char*)OPENER, (char*)document, NULL};

    int pipe_fds[2];
    if (pipe2(pipe_fds, O_CLOEXEC) != 0) {
        const int err = errno;
        free(opener);
        return resource_failure(err);
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipe_fds[0]);
        run_opener(pipe_fds[1], folder, opener, argv);
    }
    const int fork_err = errno;
    close(pipe_fds[1]);
    free(opener);
    if (child < 0) {
        close(pipe_fds[0]);
        return resource_failure(fork_err);
    }
    int status;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }

    /* Read to the end: the opener's own report (a failed exec) comes before the intermediate
     * process's. The pipe closes when both have exited or the opener has started. */
    report said = {NO_REPORT, 0}, exec = {NO_REPORT, 0}, r;
    for (;;) {
        const ssize_t n = read(pipe_fds[0], &r, sizeof r);
        if (n < 0 && errno == EINTR) continue;
        if (n != (ssize_t)sizeof r) break;
        if (r.stage == STAGE_EXEC)
            exec = r;
        else
            said = r;
    }
    close(pipe_fds[0]);
    return outcome(said, exec);
}
