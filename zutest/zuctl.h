// Control transport and the unit's command set: each command is a complete
// exchange (build, wait until ready, send, read until answered).
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "zutest/usbdevs.h"
#include "zutest/zumsg.h"

// Control handle: the address of one registry slot; null means no unit.
// Layout-compatible with a plain usbdevs_dev_t pointer, so a caller may pass
// the address of its own handle variable.
typedef struct zuctl {
    usbdevs_dev_t *dev;
} zuctl_t;

// Device group: the registry and a scan index over its slots.
typedef struct zuctl_group {
    usbdevs_t reg;
    uint8_t index;
} zuctl_group_t;

// One meter as the unit reports it.
typedef struct zuctl_meter_info {
    uint32_t ch_type;
    uint8_t ch_no;
    uint16_t value;
} zuctl_meter_info_t;

// The library's one sleep. Every pause of the library goes through it; tests
// install a virtual clock. The function gets microseconds and returns what the
// underlying sleep returned (0 on success). A null function restores usleep.
typedef int (*zuctl_usleep_fn)(uint32_t usec);
void zuctl_set_usleep(zuctl_usleep_fn fn);
int zuctl_usleep(uint32_t usec);
uint32_t msleep(uint32_t ms);
// Microseconds the library has paused on the calling thread so far, through
// whichever sleep is installed: how a caller tells how long it waited.
uint64_t zuctl_slept_usec(void);

// Transport.
uint32_t zuctl_init(zuctl_t *ctl, usbdevs_dev_t *dev);
uint32_t zuctl_send(zuctl_t *ctl, zumsg_t *msg);
uint32_t zuctl_recv(zuctl_t *ctl, zumsg_t *msg);
uint32_t zuctl_wait_ready(zuctl_t *ctl);

// Settings.
uint32_t zuctl_set_autopowersave(zuctl_t *ctl, uint8_t value);
uint32_t zuctl_set_fader(zuctl_t *ctl, zumsg_data_ch_t ch_type, uint8_t ch_no, uint8_t value);
uint32_t zuctl_set_mute(zuctl_t *ctl, zumsg_data_ch_t ch_type, uint8_t ch_no, uint8_t value);
uint32_t zuctl_set_stereo(zuctl_t *ctl, zumsg_data_ch_t ch_type, uint8_t ch_no,
                          zumsg_data_ch_type_t type);
uint32_t zuctl_set_assign_ch(zuctl_t *ctl, zumsg_data_ch_t in_type, uint8_t in_ch,
                             zumsg_data_ch_t out_type, uint8_t out_ch);
uint32_t zuctl_set_serial(zuctl_t *ctl, const char *text);

// Queries.
uint32_t zuctl_get_version(zuctl_t *ctl, uint16_t *version);
uint32_t zuctl_get_build(zuctl_t *ctl, uint16_t *build);
uint32_t zuctl_get_productname(zuctl_t *ctl, uint8_t *buf, uint8_t cap, uint8_t *len);
uint32_t zuctl_get_builddate(zuctl_t *ctl, uint8_t *buf, uint8_t cap, uint8_t *len);
uint32_t zuctl_get_buildtime(zuctl_t *ctl, uint8_t *buf, uint8_t cap, uint8_t *len);
uint32_t zuctl_get_productsig(zuctl_t *ctl, uint8_t *buf, uint8_t cap, uint8_t *len);
uint32_t zuctl_get_serial(zuctl_t *ctl, uint8_t *buf, uint8_t cap, uint8_t *len);
uint32_t zuctl_get_recfunc(zuctl_t *ctl, uint8_t *buf, uint8_t cap, uint8_t *len);
uint32_t zuctl_get_autopowersave(zuctl_t *ctl, uint8_t *value);

// Channel queries.
uint32_t zuctl_get_fader(zuctl_t *ctl, zumsg_data_ch_t ch_type, uint8_t ch_no, uint8_t *value);
uint32_t zuctl_get_mute(zuctl_t *ctl, zumsg_data_ch_t ch_type, uint8_t ch_no, uint8_t *value);
uint32_t zuctl_get_stereo(zuctl_t *ctl, zumsg_data_ch_t ch_type, uint8_t ch_no, uint32_t *type);

// Message builders with rollback: they build, they do not transfer.
uint32_t zuctl_put_ch_common_u8(zumsg_t *msg, zumsg_data_ch_t ch_type, uint8_t ch_no,
                                uint32_t cmd, uint8_t value);
uint32_t zuctl_put_assign_ch(zumsg_t *msg, zumsg_data_ch_t in_type, uint8_t in_ch,
                             zumsg_data_ch_t out_type, uint8_t out_ch);

// Meters and assignments. zuctl_get_meter is the request and the read in one;
// apart, they tell a request that never reached the unit from a unit that
// did not answer: zuctl_read_meter returns 1 when a reply could not be read
// and 2 when no meter value came within 100 reads.
uint32_t zuctl_get_meter(zuctl_t *ctl, zuctl_meter_info_t *info, uint8_t count, uint8_t *num);
uint32_t zuctl_send_meter_request(zuctl_t *ctl);
uint32_t zuctl_read_meter(zuctl_t *ctl, zuctl_meter_info_t *info, uint8_t count, uint8_t *num);
uint32_t zuctl_get_assign_ch(zuctl_t *ctl, char *text, size_t text_size, size_t *text_len);

// Device group.
uint32_t zuctl_group_init(zuctl_group_t *group);
uint32_t zuctl_group_get_init(zuctl_group_t *group);
uint32_t zuctl_group_get_zu(zuctl_group_t *group, zuctl_t *ctl);

// Firmware transfer and diagnostics (maintenance commands the panel does not
// use). zuctl_fwupdate returns 2 when the unit cancels the transfer.
uint32_t zuctl_debug_led_allon(zuctl_t *ctl, int flag);
uint32_t zuctl_debug_set_hz(zuctl_t *ctl, uint32_t hz);
uint32_t zuctl_debug_set_key(zuctl_t *ctl, int flag, uint32_t key);
uint32_t zuctl_config_erase(zuctl_t *ctl);
uint32_t zuctl_debug_get_hz(zuctl_t *ctl, uint32_t *hz);
uint32_t zuctl_get_fw_checksum(zuctl_t *ctl, uint32_t arg, uint32_t *checksum);
uint32_t zuctl_debugprint(zuctl_t *ctl, uint8_t *buf, uint8_t cap, uint8_t *len);
void print_chars(const char *s, int n);
uint32_t zuctl_fwupdate(zuctl_t *ctl, const uint8_t *image, uint32_t length, uint32_t *progress);

// The same transfer, telling `notify` (when given) on the calling thread
// where it stands: after every chunk with the host position, once per wait
// for the unit, and once per verification attempt with verifying set. It
// lets a caller show progress while the transfer blocks.
typedef void (*zuctl_fw_notify_fn)(void *ctx, uint32_t pos, uint32_t length, int verifying);
uint32_t zuctl_fwupdate_notify(zuctl_t *ctl, const uint8_t *image, uint32_t length, uint32_t *progress,
                               zuctl_fw_notify_fn notify, void *ctx);
