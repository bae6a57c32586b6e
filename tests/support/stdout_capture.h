// Captures what the process writes to standard output (the library's
// diagnostic lines) between construction and text().
#pragma once

#include <string>

class StdoutCapture {
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture &) = delete;
    StdoutCapture &operator=(const StdoutCapture &) = delete;

    // Everything written so far; the capture goes on.
    std::string text();
    // Stops capturing and returns everything written.
    std::string finish();

private:
    int savedFd_ = -1;
    int fileFd_ = -1;
    bool active_ = false;
};
