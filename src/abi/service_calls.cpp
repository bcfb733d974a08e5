#include "abi/service_calls.h"

namespace mt::svc {
namespace {
RuntimeService g_service = nullptr;
}

RuntimeService Service() { return g_service; }
void SetService(RuntimeService service) { g_service = service; }

} // namespace mt::svc
