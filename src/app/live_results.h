// Results while typing: while the focus is in the big, the left or the
// right box, each change of any of the three asks for one extraction at the
// next idle moment of the event loop (later changes fold into it). The run
// writes the middle box and the marks as a click does; a rule that fails
// changes no box, shows no message and moves no focus: the reason shows in
// the big box's notice.
#pragma once

#include "shared/extraction.h"

namespace app {

// The reason a rule fails (or why its middle text is empty) in the big
// box's notice; the notice this put there goes again when `hint` names no
// cause. A notice of another kind (a page's) is left alone then.
void ShowRuleNotice(const RuleHint& hint);

} // namespace app
