// libFuzzer target: the multi-line box's byte model under any edits of any
// bytes. The input is a script of edits (position, length removed, bytes
// inserted) and undo/redo steps; after each step the text, the line starts
// and the character boundaries must agree with a plain string walked from
// its start.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/text_view/edit_history.h"
#include "platform/text_view/text_buffer.h"

namespace {

void Check(const mt::platform::TextBuffer& t, const std::string& s)
{
    if (t.copy(0, t.size()) != s)
        std::abort();
    std::vector<bool> boundary(s.size() + 1, false);
    for (size_t i = 0; i < s.size();) {
        boundary[i] = true;
        i += mt::platform::GbCharLength(reinterpret_cast<const unsigned char*>(s.data()) + i, s.size() - i);
    }
    // Some positions in each stretch between checkpoints, and the ends.
    size_t start = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (boundary[i])
            start = i;
        if ((i % 61 == 0 || i + 8 > s.size()) && t.charStart(i) != start)
            std::abort();
    }
    size_t line = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\n' || (s[i] == '\r' && (i + 1 == s.size() || s[i + 1] != '\n'))) {
            if (t.lineStart(++line) != i + 1)
                std::abort();
        }
    }
    if (t.lineCount() != line + 1)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    mt::platform::TextBuffer t;
    mt::platform::EditHistory history;
    std::vector<std::string> states{""};
    size_t done = 0;
    size_t i = 0;
    while (i + 3 <= size) {
        const uint8_t op = data[i];
        const std::string& s = states[done];
        if (op == 0xFE || op == 0xFF) {
            size_t caret, anchor;
            if (op == 0xFE && history.undo(&t, &caret, &anchor))
                --done;
            else if (op == 0xFF && history.redo(&t, &caret, &anchor))
                ++done;
            i += 1;
        } else {
            const size_t pos = s.empty() ? 0 : (size_t(data[i + 1]) * 257 + op) % (s.size() + 1);
            const size_t removed = std::min<size_t>(data[i + 2] % 8, s.size() - pos);
            const size_t n = std::min<size_t>(op % 16, size - i - 3);
            const std::string inserted(reinterpret_cast<const char*>(data + i + 3), n);
            // Now and then a long run, to cross the checkpoints.
            const std::string bytes = op % 7 == 0 ? std::string(3000 / (n + 1), 0) + inserted : inserted;
            std::string removedBytes = t.copy(pos, pos + removed);
            t.replace(pos, removed, bytes);
            history.record(pos, std::move(removedBytes), bytes.size(), false, pos, pos);
            std::string next = s;
            next.replace(pos, removed, bytes);
            states.resize(done + 1);
            states.push_back(std::move(next));
            ++done;
            i += 3 + n;
        }
        Check(t, states[done]);
    }
    return 0;
}
