// An edit box in a window loaded through the engine, with the tool's
// character count: a content-changed handler reads Content (an engine
// property read: a new GB18030 copy of the whole text), counts its bytes and
// writes the count as a transparent label's caption, as the tool's window
// does.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "platform/window_handle.h"
#include "support/engine_runtime.h"

namespace mt::bench {

class EngineBox {
public:
    // Loads the window; the box (860 pixels wide, 500 high when multi-line,
    // with a vertical scroll bar as the tool's big box) holds `gb`.
    EngineBox(bool multiLine, const std::string& gb);
    ~EngineBox();
    EngineBox(const EngineBox&) = delete;
    EngineBox& operator=(const EngineBox&) = delete;

    bool loaded() const { return loaded_; }
    platform::WindowHandle handle() const;
    // Activates the window and gives the box the keyboard focus.
    void focus();
    // Content as a handler reads it: the engine's copy, to be freed.
    std::unique_ptr<char, void (*)(void*)> readContent() const;
    // Leaves the count out: the content-changed handler does nothing.
    void stopCounting();
    void setContent(const std::string& gb);
    // SelStart, then SelLength, as a handler writes them.
    void select(int64_t start, int64_t length);
    // The caret at `pos`, the view settled there.
    void placeCaret(int64_t pos);
    // The count label's caption (GB18030).
    std::string countCaption() const;
    // How often the count handler ran in this process.
    static int64_t Counted();

private:
    test::EngineRuntime runtime_;
    bool loaded_ = false;
};

// One key press and release with its text, then the event loop turn that
// paints it.
void PressKeyInBox(int32_t virtualKey, int32_t keyState = 0);

// Whether the box's window loaded; if not, the benchmark is marked skipped.
bool LoadedOrSkip(const EngineBox& box, benchmark::State& state);

} // namespace mt::bench
