// A runtime service for the dialog command tests: allocation on malloc with
// a count of live blocks, the run-time error as an exception, and a
// component table for the lookups of SetComponentFocus.
#pragma once

#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>

#include "frame/service_calls.h"
#include "platform/window_handle.h"

namespace mt::dialogtest {

struct RuntimeErrorRaised : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class TestService {
public:
    TestService() : previous_(svc::Service())
    {
        Current() = this;
        svc::SetService(&Dispatch);
    }
    ~TestService()
    {
        svc::SetService(previous_);
        Current() = nullptr;
    }

    // (window id, component id) -> the component's platform window.
    std::map<std::pair<uint32_t, uint32_t>, platform::WindowHandle> components;
    int64_t liveBlocks = 0;
    std::string lastError;

private:
    static TestService*& Current()
    {
        static TestService* current = nullptr;
        return current;
    }

    static int64_t Dispatch(int32_t code, intptr_t a, intptr_t b)
    {
        TestService& s = *Current();
        switch (code) {
        case kSvcAllocate:
            ++s.liveBlocks;
            return reinterpret_cast<intptr_t>(std::malloc(static_cast<size_t>(a) ? static_cast<size_t>(a) : 1));
        case kSvcFree:
            if (a) {
                --s.liveBlocks;
                std::free(reinterpret_cast<void*>(a));
            }
            return 0;
        case kSvcReallocate:
            return reinterpret_cast<intptr_t>(std::realloc(reinterpret_cast<void*>(a), static_cast<size_t>(b)));
        case kSvcRuntimeError:
            s.lastError = reinterpret_cast<const char*>(a);
            throw RuntimeErrorRaised(s.lastError);
        case kSvcFindComponentOrFail: {
            auto it = s.components.find({static_cast<uint32_t>(a), static_cast<uint32_t>(b)});
            if (it == s.components.end())
                return Dispatch(kSvcRuntimeError, reinterpret_cast<intptr_t>("component missing"), 0);
            return reinterpret_cast<intptr_t>(&it->second);
        }
        case kSvcComponentHandle:
            return reinterpret_cast<intptr_t>(*reinterpret_cast<platform::WindowHandle*>(a));
        }
        return 0;
    }

    RuntimeService previous_;
};

} // namespace mt::dialogtest
