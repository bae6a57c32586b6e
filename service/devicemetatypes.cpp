#include "devicemetatypes.h"

#include <cstdint>

void registerDeviceMetaTypes()
{
    qRegisterMetaType<zumsg_data_ch_t>("zumsg_data_ch_t");
    qRegisterMetaType<zumsg_data_ch_type_t>("zumsg_data_ch_type_t");
    // moc keeps these typedef names in the signatures; without an alias a
    // queued argument of that type cannot be copied.
    qRegisterMetaType<uint8_t>("uint8_t");
    qRegisterMetaType<uint16_t>("uint16_t");
    qRegisterMetaType<uint32_t>("uint32_t");
}
