// A runtime for engine and component tests: a RuntimeService that answers
// from the kind tables, the window engine and the C heap, with run-time
// errors thrown as RuntimeErrorRaised (only call error paths directly from
// a test, never through Qt event delivery). Test handlers live in a small
// code-base table; a template built with the writer and read back against
// that table binds events to them.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "abi/library_interface.h"
#include "windows/template_types.h"

namespace mt::test {

struct RuntimeErrorRaised : std::runtime_error {
    explicit RuntimeErrorRaised(const std::string& m) : std::runtime_error(m) {}
};

inline constexpr int kHandlerSlots = 16;

// The code base: kHandlerSlots EventHandler slots; slot k calls Handler(k).
const void* HandlerCodeBase();
// The stored offset that binds an event to slot k.
int32_t HandlerOffset(int k);
// What slot k does while the current test runs.
void SetHandler(int k, std::function<void(EventCall*)> handler);

class EngineRuntime {
public:
    EngineRuntime();
    ~EngineRuntime();
    EngineRuntime(const EngineRuntime&) = delete;
    EngineRuntime& operator=(const EngineRuntime&) = delete;

    // Writes the descriptions as a template block, reads them back against
    // the handler table and installs them as the loaded-window list.
    static void Install(const std::vector<WindowDescription>& windows);

    // Extra kinds answered before the kind tables (null: not this code).
    static void SetExtraKinds(std::function<const ComponentKind*(uint32_t)> lookup);
    static void SetProgramMode(int32_t mode);

private:
    RuntimeService previous_;
};

} // namespace mt::test
