// While it lives, the device library's lines (printed on standard output)
// are caught in a file of their own and handed out line by line, so that
// the tool can print them above its progress line instead of through it.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

class LibraryOutput
{
public:
    LibraryOutput();
    ~LibraryOutput(); // gives standard output back; whatever is left goes to the last drain
    LibraryOutput(const LibraryOutput &) = delete;
    LibraryOutput &operator=(const LibraryOutput &) = delete;

    bool active() const { return saved_ >= 0; }

    // Hands every complete line printed since the last call to `line`
    // (without its newline); with `all`, a last unfinished line too.
    void drain(const std::function<void(const std::string &)> &line, bool all = false);

    // Stops catching; lines not drained yet are lost unless drained before.
    void release();

private:
    int saved_ = -1;
    std::FILE *file_ = nullptr;
    long readPos_ = 0;
    std::string partial_;
};
