// Runs of repeated lines shortened as syslog does: a line, then "last line
// repeated N times" in place of its copies. A unit that has gone or stalls
// makes the device library print the same one to three lines a thousand
// times over, so a run here may be a group of up to three lines that repeats
// ("last 3 lines repeated N times"). The lines themselves are kept as they
// were printed.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

class RepeatedLines
{
public:
    // The lines to show now that `line` came; copies of the lines just
    // shown are held back and counted.
    std::vector<std::string> add(const std::string &line);

    // Ends a run: its count, and the lines of a repeat begun but not
    // completed. Called when the output pauses or ends.
    std::vector<std::string> flush();

private:
    static constexpr size_t kLongestGroup = 3;

    void endRun(std::vector<std::string> *out);
    void show(const std::string &line, std::vector<std::string> *out);

    std::deque<std::string> shown_; // the last lines shown, at most kLongestGroup
    size_t group_ = 0;              // while in a run: the size of the repeating group
    size_t matched_ = 0;            // lines of the current repeat seen so far
    unsigned long repeats_ = 0;     // whole repeats held back
};
