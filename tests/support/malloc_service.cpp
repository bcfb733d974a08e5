#include "support/malloc_service.h"

#include <cstdlib>

#include "abi/service_calls.h"

namespace mt::test {
namespace {

int64_t g_live = 0;
int g_tryAllocationsToRefusal = 0; // 0: refuse none

void* Allocate(intptr_t bytes, intptr_t mayFail)
{
    if (mayFail != 0 && g_tryAllocationsToRefusal > 0 && --g_tryAllocationsToRefusal == 0)
        return nullptr;
    void* block = std::malloc(bytes > 0 ? static_cast<size_t>(bytes) : 1);
    if (!block) {
        if (mayFail != 0)
            return nullptr;
        throw RuntimeError("allocation of " + std::to_string(bytes) + " bytes failed");
    }
    ++g_live;
    return block;
}

int64_t Serve(int32_t code, intptr_t a, intptr_t b)
{
    switch (code) {
    case kSvcAllocate:
        return reinterpret_cast<intptr_t>(Allocate(a, b));
    case kSvcFree:
        if (a != 0)
            --g_live;
        std::free(reinterpret_cast<void*>(a));
        return 0;
    case kSvcReallocate:
        if (a == 0)
            return reinterpret_cast<intptr_t>(Allocate(b, 0));
        return reinterpret_cast<intptr_t>(std::realloc(reinterpret_cast<void*>(a), b > 0 ? static_cast<size_t>(b) : 1));
    case kSvcRuntimeError:
        throw RuntimeError(a ? reinterpret_cast<const char*>(a) : "");
    default:
        throw RuntimeError("service " + std::to_string(code) + " is not available in this test");
    }
}

} // namespace

MallocService::MallocService() : previous_(svc::Service())
{
    g_live = 0;
    g_tryAllocationsToRefusal = 0;
    svc::SetService(Serve);
}

MallocService::~MallocService() { svc::SetService(previous_); }

int64_t MallocService::liveBlocks() const { return g_live; }

void MallocService::refuseTryAllocation(int nth) { g_tryAllocationsToRefusal = nth; }

} // namespace mt::test
