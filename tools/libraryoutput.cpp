#include "tools/libraryoutput.h"

#include <unistd.h>

LibraryOutput::LibraryOutput()
{
    std::fflush(stdout);
    file_ = std::tmpfile();
    if (!file_)
        return;
    saved_ = dup(STDOUT_FILENO);
    if (saved_ < 0 || dup2(fileno(file_), STDOUT_FILENO) < 0) {
        if (saved_ >= 0)
            close(saved_);
        saved_ = -1;
        std::fclose(file_);
        file_ = nullptr;
    }
}

LibraryOutput::~LibraryOutput()
{
    release();
}

void LibraryOutput::drain(const std::function<void(const std::string &)> &line, bool all)
{
    if (!active())
        return;
    std::fflush(stdout);
    char buf[4096];
    for (;;) {
        const ssize_t n = pread(fileno(file_), buf, sizeof buf, readPos_);
        if (n <= 0)
            break;
        readPos_ += n;
        partial_.append(buf, size_t(n));
    }
    size_t start = 0;
    for (size_t nl = partial_.find('\n'); nl != std::string::npos; nl = partial_.find('\n', start)) {
        line(partial_.substr(start, nl - start));
        start = nl + 1;
    }
    partial_.erase(0, start);
    if (all && !partial_.empty()) {
        line(partial_);
        partial_.clear();
    }
}

void LibraryOutput::release()
{
    if (!active())
        return;
    std::fflush(stdout);
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
    saved_ = -1;
    std::fclose(file_);
    file_ = nullptr;
}
