// Value types that the device service's signals carry, made known to the
// meta-type system so that queued connections and QSignalSpy can copy them.
#pragma once

#include <QMetaType>

#include "zutest/zumsg.h"

Q_DECLARE_METATYPE(zumsg_data_ch_t)
Q_DECLARE_METATYPE(zumsg_data_ch_type_t)

// Registers the channel enums and the fixed-width integer names used in the
// signal signatures ("uint8_t", "uint16_t", "uint32_t"). Safe to call more
// than once and before the application object exists.
void registerDeviceMetaTypes();
