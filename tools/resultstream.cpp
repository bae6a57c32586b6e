#include "tools/resultstream.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include <QByteArray>

namespace {

// Names the saved descriptor for the engine program stratactl starts.
const char kResultFdVariable[] = "STRATACTL_RESULT_FD";

// The descriptor a parent stratactl saved, if this process inherited it.
int inheritedResultFd()
{
    const char *text = std::getenv(kResultFdVariable);
    if (!text || !*text)
        return -1;
    char *end = nullptr;
    errno = 0;
    const long fd = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || fd <= STDERR_FILENO || fd > 1024)
        return -1;
    return fcntl(int(fd), F_GETFD) == -1 ? -1 : int(fd);
}

} // namespace

std::FILE *openResultStream()
{
    int fd = inheritedResultFd();
    if (fd < 0) {
        // Above the standard three, and kept across exec for the engine.
        fd = fcntl(STDOUT_FILENO, F_DUPFD, STDERR_FILENO + 1);
        if (fd < 0)
            return stdout;
        setenv(kResultFdVariable, QByteArray::number(fd).constData(), 1);
    }
    std::FILE *results = fdopen(fd, "w");
    if (!results)
        return stdout;
    // What stdio buffered so far (the engine's data manager prints before
    // main) follows descriptor 1 to standard error.
    if (dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        std::fclose(results);
        return stdout;
    }
    return results;
}
