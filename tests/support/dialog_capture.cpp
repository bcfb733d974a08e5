#include "support/dialog_capture.h"

#include <cstdio>

#include "platform/message_box.h"
#include "platform/testing/dialog_script.h"

namespace mt::test {

std::string Hex(std::string_view bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out;
}

void EchoMessageBoxesToStderr()
{
    platform::ScriptMessageBoxes({});
    platform::SetMessageBoxObserver([](const platform::ShownMessageBox& box) {
        std::fprintf(stderr, "BOX %s %s\n", Hex(box.caption).c_str(), Hex(box.text).c_str());
        std::fflush(stderr);
    });
}

} // namespace mt::test
