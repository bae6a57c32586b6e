#include "stdout_capture.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

StdoutCapture::StdoutCapture()
{
    std::fflush(stdout);
    char path[] = "/tmp/strata-stdout-XXXXXX";
    fileFd_ = mkstemp(path);
    if (fileFd_ < 0)
        return;
    unlink(path);
    savedFd_ = dup(STDOUT_FILENO);
    dup2(fileFd_, STDOUT_FILENO);
    active_ = true;
}

StdoutCapture::~StdoutCapture()
{
    finish();
    if (fileFd_ >= 0)
        close(fileFd_);
}

std::string StdoutCapture::text()
{
    std::fflush(stdout);
    std::string out;
    if (fileFd_ < 0)
        return out;
    char buf[4096];
    off_t offset = 0;
    for (;;) {
        ssize_t n = pread(fileFd_, buf, sizeof buf, offset);
        if (n <= 0)
            break;
        out.append(buf, static_cast<size_t>(n));
        offset += n;
    }
    return out;
}

std::string StdoutCapture::finish()
{
    std::string out = text();
    if (active_) {
        dup2(savedFd_, STDOUT_FILENO);
        close(savedFd_);
        active_ = false;
    }
    return out;
}
