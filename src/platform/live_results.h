// Whether the tool shows an extraction's result while its texts are typed:
// [live] enabled in the user's configuration file (the one that keeps the
// address history, platform/recent_addresses.h), true unless it says false.
// Read once, then kept while the program runs; a change is written back.
#pragma once

namespace mt::platform {

bool LiveResultsOn();
void SetLiveResultsOn(bool on);
// Reads the file again at the next question (for tests that change it).
void ForgetLiveResultsSetting();

} // namespace mt::platform
