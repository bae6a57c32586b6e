// The global data manager. Kept apart from the class so that programs and
// tests that build their own DataManager do not also start this one.
#include "datamanager.h"

DataManager dm;
