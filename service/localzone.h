// The local time zone, named once for the C library.
#pragma once

// With TZ unset, glibc stats /etc/localtime again on every local-time
// conversion (mktime runs for each toolkit picture-cache lookup, many per
// second while metering); named ":/etc/localtime", the same zone is read once
// and kept. A TZ the user set is left alone, and other C libraries are not
// touched. setenv is not safe beside running threads: call this before any
// exists. True when TZ is set afterwards.
bool nameLocalZone();
