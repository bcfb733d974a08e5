// The tool's event handlers.
#include "app_image.h"

namespace app {

void MainWindowCreated(mt::EventCall*) {}
void FindMiddleText(mt::EventCall*) {}
void GenerateExtractionCode(mt::EventCall*) {}
void ClearAll(mt::EventCall*) {}
void ReadWebPage(mt::EventCall*) {}
void ExtractMiddleText(mt::EventCall*) {}

} // namespace app
