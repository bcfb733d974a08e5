// The texts Qt's own widgets would show in English (message box buttons,
// the edit context menus), in the runtime's language, from the runtime
// itself rather than from a translation catalogue the user may not have.
#pragma once

#include <QString>

namespace mt::platform {

// The caption of a message box button (a DialogResult); empty for others.
QString StandardButtonText(int id);
// Makes Qt's widgets use the runtime's texts. Called once with the
// application object.
void InstallStandardTexts();

} // namespace mt::platform
