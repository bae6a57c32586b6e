#include "service/repeatedlines.h"

std::vector<std::string> RepeatedLines::add(const std::string &line)
{
    std::vector<std::string> out;
    if (group_ > 0) {
        if (line == shown_[shown_.size() - group_ + matched_]) {
            if (++matched_ == group_) {
                matched_ = 0;
                ++repeats_;
            }
            return out;
        }
        endRun(&out);
    }
    // The smallest group that this line starts to repeat.
    for (size_t size = 1; size <= shown_.size(); ++size) {
        if (shown_[shown_.size() - size] != line)
            continue;
        group_ = size;
        matched_ = 1;
        if (matched_ == group_) {
            matched_ = 0;
            repeats_ = 1;
        }
        return out;
    }
    show(line, &out);
    return out;
}

std::vector<std::string> RepeatedLines::flush()
{
    std::vector<std::string> out;
    endRun(&out);
    return out;
}

void RepeatedLines::endRun(std::vector<std::string> *out)
{
    if (group_ == 0)
        return;
    if (repeats_ > 0) {
        const std::string times = std::to_string(repeats_) + (repeats_ == 1 ? " time" : " times");
        out->push_back(group_ == 1 ? "last line repeated " + times
                                   : "last " + std::to_string(group_) + " lines repeated " + times);
    }
    // A repeat cut short: its lines were not copies of a whole group.
    const std::vector<std::string> begun(shown_.end() - long(group_), shown_.end() - long(group_) + long(matched_));
    group_ = 0;
    matched_ = 0;
    repeats_ = 0;
    for (const std::string &line : begun)
        show(line, out);
}

void RepeatedLines::show(const std::string &line, std::vector<std::string> *out)
{
    out->push_back(line);
    shown_.push_back(line);
    if (shown_.size() > kLongestGroup)
        shown_.pop_front();
}
