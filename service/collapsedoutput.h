// While it lives, what the program prints on standard output (the device
// library's lines) passes through RepeatedLines on its way to where standard
// output went before, so that a unit that has gone or stalls cannot flood
// the terminal with thousands of copies of one line. The texts of the lines
// are kept; only runs of copies become one "repeated" line. A run is ended
// when a different line comes, when the output pauses for a second, and when
// this object goes. Only for a program that starts no other program while it
// lives: a child would inherit the pipe as its standard output, outlive the
// reader, and keep this object from ever seeing the pipe's end.
#pragma once

#include <thread>

class CollapsedOutput
{
public:
    CollapsedOutput();  // does nothing when the pipe cannot be set up
    ~CollapsedOutput(); // everything printed so far is out when it returns
    CollapsedOutput(const CollapsedOutput &) = delete;
    CollapsedOutput &operator=(const CollapsedOutput &) = delete;

private:
    void pass(int from, int to);

    int saved_ = -1; // standard output as it was
    int read_ = -1;  // the pipe's end the passing thread reads
    std::thread thread_;
};
