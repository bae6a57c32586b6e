#include "service/collapsedoutput.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>

#include "service/repeatedlines.h"

namespace {

// How long the output may pause before a pending count is shown.
constexpr int kPauseMs = 1000;

void writeAll(int fd, const std::string &bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // nowhere to go: the lines are lost, as they would be unfiltered
        done += size_t(n);
    }
}

void writeLines(int fd, const std::vector<std::string> &lines)
{
    std::string bytes;
    for (const std::string &line : lines)
        bytes += line + '\n';
    writeAll(fd, bytes);
}

} // namespace

CollapsedOutput::CollapsedOutput()
{
    std::fflush(stdout);
    int ends[2];
    if (::pipe(ends) != 0)
        return;
    saved_ = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    if (saved_ < 0 || ::dup2(ends[1], STDOUT_FILENO) < 0) {
        if (saved_ >= 0)
            ::close(saved_);
        saved_ = -1;
        ::close(ends[0]);
        ::close(ends[1]);
        return;
    }
    ::close(ends[1]);
    ::fcntl(ends[0], F_SETFD, FD_CLOEXEC);
    read_ = ends[0];
    // Whole lines as they are printed, so that a pause is seen as one.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    thread_ = std::thread(&CollapsedOutput::pass, this, read_, saved_);
}

CollapsedOutput::~CollapsedOutput()
{
    if (saved_ < 0)
        return;
    std::fflush(stdout);
    // Closes the pipe's only writing end: the thread reads to its end and stops.
    ::dup2(saved_, STDOUT_FILENO);
    thread_.join();
    ::close(read_);
    ::close(saved_);
}

void CollapsedOutput::pass(int from, int to)
{
    RepeatedLines lines;
    std::string partial;
    char buf[4096];
    for (;;) {
        pollfd p{from, POLLIN, 0};
        const int ready = ::poll(&p, 1, kPauseMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0) {
            writeLines(to, lines.flush());
            continue;
        }
        const ssize_t n = ::read(from, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        partial.append(buf, size_t(n));
        std::vector<std::string> out;
        size_t start = 0;
        for (size_t nl = partial.find('\n'); nl != std::string::npos; nl = partial.find('\n', start)) {
            for (std::string &line : lines.add(partial.substr(start, nl - start)))
                out.push_back(std::move(line));
            start = nl + 1;
        }
        partial.erase(0, start);
        writeLines(to, out);
    }
    writeLines(to, lines.flush());
    writeAll(to, partial);
}
