// Whether the panel asks the maker's server for the update manifest at start.
// Three switches turn it off: the build option STRATA_UPDATE_CHECK (for
// distributions that deliver updates themselves), the setting
// "Update/CheckAtStart" (absent means on) and the panel's --no-update-check.
#pragma once

namespace UpdateCheck {

// False when the command line or the build forbids it or the settings say
// "false" (also "0", "no", "off").
bool atStart(bool commandLineAllows);

} // namespace UpdateCheck
