// Where the panel's pictures live in memory. Each page background is a few
// MiB of pixels, and every resize renders them again. The C library keeps
// blocks of that size inside its heap once a block like them has been freed,
// and keeps the freed ones resident beside the new ones. Called once, before
// the application object exists.
#pragma once

namespace panel {

void keepPicturesOutOfHeap();

} // namespace panel
