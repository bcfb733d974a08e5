// Terminal text and the runtime's GB18030 through the command line: the
// private-use characters the system converter leaves out keep their codes.
#include <gtest/gtest.h>

#include <string>

#include "abi/gb18030.h"
#include "support/run_tool.h"

namespace {

using mt::test::RunTool;
namespace gb18030 = mt::gb18030;

std::string Utf8(uint32_t cp)
{
    if (cp < 0x10000)
        return {static_cast<char>(0xE0 | cp >> 12), static_cast<char>(0x80 | (cp >> 6 & 0x3F)),
                static_cast<char>(0x80 | (cp & 0x3F))};
    return {static_cast<char>(0xF0 | cp >> 18), static_cast<char>(0x80 | (cp >> 12 & 0x3F)),
            static_cast<char>(0x80 | (cp >> 6 & 0x3F)), static_cast<char>(0x80 | (cp & 0x3F))};
}

// The characters the six two-byte codes read back as.
uint32_t ReadBack(uint32_t cp)
{
    switch (cp) {
    case 0xE816: return 0x20087;
    case 0xE817: return 0x20089;
    case 0xE818: return 0x200CC;
    case 0xE831: return 0x215D7;
    case 0xE83B: return 0x2298F;
    case 0xE855: return 0x241FE;
    default: return cp;
    }
}

TEST(ConsoleText, PrivateUseCharactersConvertBothWays)
{
    for (const gb18030::PrivateUse& u : gb18030::kPrivateUse) {
        SCOPED_TRACE(testing::Message() << std::hex << "U+" << u.codePoint);
        const std::string c = Utf8(u.codePoint);
        const std::string gb(reinterpret_cast<const char*>(u.bytes), u.length);
        // In the text (the table's way in) and as the left text (the command's).
        auto run = RunTool({"extract", "--left", "<" + c, "--right", ">"}, "x<" + c + "y" + c + ">z");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "y" + Utf8(ReadBack(u.codePoint)));
        // The same bytes as GB18030 go in and come out untouched.
        run = RunTool({"extract", "--gbk", "--left", "<", "--right", ">"}, "<" + gb + ">");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, gb);
    }
}

} // namespace
