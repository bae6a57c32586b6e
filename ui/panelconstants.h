// Texts the panel shares with the settings store and the update service.
#pragma once

namespace panel {

inline constexpr char kSoftwareVersionFull[] = "2.00 0023";
inline constexpr char kSoftwareVersionShort[] = "2.00";
inline constexpr char kSettingsOrganisation[] = "KORVEN";
inline constexpr char kSettingsApplication[] = "StrataMixer";
// The model whose firmware the update service checks and the only one with
// the meter page.
inline constexpr char kMeterModelName[] = "Strata 96";
// What the window shows while it knows no unit.
inline constexpr char kNoDevice[] = "No Device";

} // namespace panel
