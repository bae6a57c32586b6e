// The words a user types for channels and setting values, and their checks.
// Each parser returns false and an error line when the word is not usable.
#pragma once

#include <QString>

#include <stdint.h>

#include "zutest/zumsg.h"

struct Channel {
    zumsg_data_ch_t kind;
    uint8_t number;
};

// Short name of a channel kind for listings ("analog"); kinds without a name
// (the meter groups 6 to 8) read "kind6" and so on.
QString channelKindName(uint32_t kind);
// Whether the kind has a name of its own (kinds 1 to 5), not a placeholder.
bool channelKindNamed(uint32_t kind);

// "[KIND:]NUMBER"; without a kind the channel is an analog input.
bool parseChannel(const QString &text, Channel *channel, QString *error);

bool parseOnOff(const QString &text, bool *on, QString *error);
bool parseStereo(const QString &text, zumsg_data_ch_type_t *type, QString *error);
bool parseFaderLevel(const QString &text, uint8_t *level, QString *error);
bool parseSampleRate(const QString &text, uint32_t *hz, QString *error);
