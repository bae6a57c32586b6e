// What the tool reports about units: the list of units present and the
// identity of one unit, as text or as one line of JSON.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <stdint.h>

#include "service/unittext.h"

struct ListedUnit {
    int unit;      // counted from 0 in slot order, as --unit takes it
    int slot;      // registry slot, 0 to 9
    QString model; // product name; empty when the unit did not say
};

struct UnitInfo {
    int unit = -1; // counted as --unit counts them
    int slot = -1; // -1: not known (the device service picks its unit itself)
    QString product;
    uint16_t version = 0;
    uint16_t build = 0;
    uint32_t sampleRate = 0;
    bool hasSerial = false; // only the Strata 96 has a serial number
    QString serial;
    QString buildDate;      // empty when not asked
    QString buildTime;
    bool hasRecFunction = false;
    QByteArray recFunction;
};

using unittext::firmwareText;

// "48 kHz", "44.1 kHz"; a rate outside the unit's set as plain Hz.
QString sampleRateText(uint32_t hz);

QByteArray unitListText(const QList<ListedUnit> &units);
QByteArray unitListJson(const QList<ListedUnit> &units);

QByteArray unitInfoText(const UnitInfo &info);
QByteArray unitInfoJson(const UnitInfo &info);
