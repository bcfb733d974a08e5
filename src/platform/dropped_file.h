// What a file dropped onto a multi-line box brings: its bytes, or why not.
#pragma once

#include <cstdint>
#include <string>

namespace mt::platform {

// A file dropped onto a box: its bytes as they are, or why they are not.
struct DroppedFile {
    enum Problem { kNone,
                   kTooBig,
                   kDirectory,
                   kUnreadable };
    Problem problem = kNone;
    std::string name;   // the file's path, GB18030
    std::string reason; // kUnreadable: why, GB18030
    std::string bytes;
};
// Files larger than this are not read.
inline constexpr int64_t kDroppedFileCap = int64_t{256} << 20;

} // namespace mt::platform
