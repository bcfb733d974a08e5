// The commands of the command line as bits, and the groups of them that
// options and pieces of the usage belong to.
#pragma once

#include <string>

namespace app::cli {

enum Command : unsigned { kExtract = 1,
                          kFind = 2,
                          kFetch = 4,
                          kCode = 8,
                          kTest = 16,
                          kSuggest = 32 };

inline constexpr unsigned kAll = kExtract | kFind | kFetch | kCode | kTest | kSuggest;
// The network options go on every command that reads pages: a command
// that reads them joins this group.
inline constexpr unsigned kRequest = kExtract | kFind | kFetch | kTest | kSuggest;
inline constexpr unsigned kRule = kExtract | kFind; // what runs on sources
inline constexpr unsigned kWhole = 64;              // a piece of the whole usage only

// The command of this name; 0 for none.
unsigned CommandBit(const std::string& name);

} // namespace app::cli
