#include "service/localzone.h"

#include <cstdlib>

bool nameLocalZone()
{
#ifdef __GLIBC__
    if (std::getenv("TZ") == nullptr)
        return setenv("TZ", ":/etc/localtime", 0) == 0;
    return true;
#else
    return std::getenv("TZ") != nullptr;
#endif
}
