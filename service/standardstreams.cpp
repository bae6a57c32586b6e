#include "service/standardstreams.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

bool openStandardStreams()
{
    bool all = true;
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free number: this one, since those below are open.
        const int opened = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened != fd) {
            all = all && opened >= 0 && dup2(opened, fd) == fd;
            if (opened >= 0)
                close(opened);
        }
    }
    return all;
}
