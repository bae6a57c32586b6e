#include "ui/pictureheap.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace panel {

namespace {

// Below the smallest background and above everything else the window keeps
// in numbers (style sheets, texts, the meter bar pictures).
constexpr int kOwnMappingBytes = 512 * 1024;

} // namespace

void keepPicturesOutOfHeap()
{
#if defined(__GLIBC__)
    // A fixed threshold: every block this large gets a mapping of its own,
    // which goes back to the system the moment it is freed. The library would
    // otherwise raise the threshold to the size of the first such block freed.
    mallopt(M_MMAP_THRESHOLD, kOwnMappingBytes);
#endif
}

} // namespace panel
