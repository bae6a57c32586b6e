// Internal helpers shared by the transport and the command files of zuctl.
#pragma once

#include <stdint.h>

#include "zutest/zuctl.h"

namespace zuctl_internal {

// Every message of the protocol fits one 64-byte control transfer.
constexpr uint8_t kMessageSize = 64;

// The pause between send attempts, poll cycles and receive cycles.
constexpr uint32_t kPollPauseUsec = 10000;

// Prints the fixed diagnostic line of a failure point of zuctl; returns 1 so
// that a failure path can end with `return fail(kLine...)`.
uint32_t fail(int line);

// One exchange: a request built in, and its replies read into, a zero-filled
// buffer of its own.
struct Exchange {
    uint8_t buf[kMessageSize];
    zumsg_t msg;
};
uint32_t exchange_open(Exchange *x);

// The tail of every setting command: the end item, the ready poll and the
// send, each failing with its own line.
struct TailLines {
    int end;
    int ready;
    int send;
};
uint32_t finish_request(zuctl_t *ctl, Exchange *x, const TailLines &lines);

// Reads the reply's items until one with this command: its value, of any
// numeric type, goes to value (when given). False when the reply has none.
bool find_item_value(zumsg_t *reply, uint32_t cmd, uint64_t *value);

// A debug-text item met while waiting for an answer: "\ndbg:" and its text.
void print_debug_text(const uint8_t *text, uint8_t size);

} // namespace zuctl_internal
