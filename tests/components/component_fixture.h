// A loaded window for component tests: the test runtime, a description
// built from records, and short ways to read and write properties.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "components/component.h"
#include "platform/application.h"
#include "support/engine_runtime.h"
#include "support/template_builder.h"
#include "windows/window_engine.h"

namespace mt::test {

class LoadedWindow : public ::testing::Test {
protected:
    void Load(std::vector<ComponentRecord> records)
    {
        EngineRuntime::Install({Window(std::move(records))});
        ASSERT_EQ(engine::LoadWindow(*FindWindow(engine::Descriptions(), kWindowId), false, false, nullptr), 1);
        platform::ProcessPendingEvents(); // the activation arrives
    }
    Component* Object(uint32_t id) { return static_cast<Component*>(engine::FindComponent(kWindowId, id)); }
    platform::WindowHandle Handle(uint32_t id) { return Object(id) ? Object(id)->handle() : nullptr; }
    uint64_t Read(uint32_t id, int32_t index, int32_t field = -1) { return engine::ReadProperty(kWindowId, id, index, field); }
    void Write(uint32_t id, int32_t index, uint64_t v, int32_t field = -1)
    {
        engine::WriteProperty(kWindowId, id, index, field, v);
    }
    // Counts the calls of handler slot k.
    int* Count(int k)
    {
        counts_.push_back(std::make_unique<int>(0));
        int* c = counts_.back().get();
        SetHandler(k, [c](EventCall*) { ++*c; });
        return c;
    }

    EngineRuntime runtime;

private:
    std::vector<std::unique_ptr<int>> counts_;
};

} // namespace mt::test
