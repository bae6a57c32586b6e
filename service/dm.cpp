// The global data manager. Kept apart from the class so that programs and
// tests that build their own DataManager do not also start this one.
#include "datamanager.h"
#include "heappolicy.h"
#include "localzone.h"
#include "standardstreams.h"

// Before dm, in this file's order: the registry and the worker it starts open
// descriptors, which must not take the number of a closed standard stream.
static const bool standardStreamsOpen = openStandardStreams();
// Before dm too: the zone is named while the process has one thread.
static const bool localZoneNamed = nameLocalZone();
// Before the first picture is loaded.
static const bool largeBlocksMapped = keepLargeBlocksMapped();

DataManager dm;
