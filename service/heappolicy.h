// How the C library hands freed memory back to the system.
#pragma once

// glibc serves a block of 128 KiB or more from a mapping of its own and
// unmaps it when it is freed; but every such block freed raises that limit to
// its size (up to 32 MiB), and the heap's trim limit with it. Once start-up
// has decoded and dropped a 3 MB page picture, the later pictures come from
// the heap, and what they leave when freed stays resident for the rest of
// the run. Fixing the limit at its default keeps large blocks mapped; other C
// libraries are not touched. True when the limit is fixed.
bool keepLargeBlocksMapped();
