// The addresses of the last pages read, kept in the user's configuration
// folder (QSettings, INI, $XDG_CONFIG_HOME/middletext/middletext.ini), most
// recent first, at most kRecentAddressCount, user name and password left
// out. The history is off while the environment variable
// MIDDLETEXT_NO_HISTORY is set (to anything but empty or 0), or while the
// file's [history] enabled is false: nothing is then read or written.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mt::platform {

inline constexpr size_t kRecentAddressCount = 20;

bool AddressHistoryOn();
// GB18030 texts; empty while the history is off.
std::vector<std::string> RecentAddresses();
// Puts the address first (once); its user name and password are left out.
void RememberAddress(std::string_view gb);

} // namespace mt::platform
