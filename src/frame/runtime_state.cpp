#include "frame/runtime_state.h"

#include "frame/shutdown.h"

namespace mt {
namespace {

// Its destructor runs shutdown with exit code 0 once more; every step of
// shutdown releases only what is still held, so nothing is released twice.
struct StateHolder {
    RuntimeData state;
    ~StateHolder() { Shutdown(0); }
};

StateHolder& Holder()
{
    static StateHolder holder;
    return holder;
}

} // namespace

RuntimeData& RuntimeState() { return Holder().state; }

} // namespace mt
