#include "service/heappolicy.h"

// Any header of the C library says which one it is.
#include <cstdlib>

#ifdef __GLIBC__
#include <malloc.h>
#endif

bool keepLargeBlocksMapped()
{
#ifdef __GLIBC__
    constexpr int kDefaultMapThreshold = 128 * 1024;
    return mallopt(M_MMAP_THRESHOLD, kDefaultMapThreshold) == 1;
#else
    return false;
#endif
}
