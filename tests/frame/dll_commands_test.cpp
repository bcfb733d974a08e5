#include <gtest/gtest.h>

#include <cstring>

#include "abi/runtime_entry_table.h"
#include "frame/dll_commands.h"
#include "frame/frame_texts.h"
#include "frame/runtime_error.h"
#include "frame/startup.h"
#include "support/dialog_capture.h"

namespace mt {
namespace {

const char* const kFiles[] = {nullptr, "libm.so.6", nullptr, "libm.so.6", "no-such-library.so", MT_TEST_DLL};
const char* const kExports[] = {"strlen", "cos", "#12", "no_such_export", "anything", "mt_test_mix"};

class DllCommandTest : public testing::Test {
protected:
    void SetUp() override
    {
        header_.dllCommandCount = 6;
        header_.dllFiles = kFiles;
        header_.dllExports = kExports;
        test::EchoMessageBoxesToStderr();
        InitializeRuntime(&header_);
    }
    ProgramHeader header_{};
};

TEST_F(DllCommandTest, ResolvesFromTheDefaultLibrariesAndANamedFileAndCaches)
{
    auto* len = reinterpret_cast<size_t (*)(const char*)>(ResolveDllCommand(0));
    ASSERT_NE(len, nullptr);
    EXPECT_EQ(len("abc"), 3u);
    auto* cosine = reinterpret_cast<double (*)(double)>(ResolveDllCommand(1));
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
    EXPECT_EQ(ResolveDllCommand(1), reinterpret_cast<void*>(cosine));
}

TEST_F(DllCommandTest, ARoutineGetsTheCallersArgumentsAndItsResultComesBack)
{
    EXPECT_EQ((CallDllCommand<int64_t>(5, int32_t{7}, int64_t{-20}, "four", 2.9)), 7000 - 20 + 40 + 2);
    EXPECT_EQ((CallDllCommand<int64_t>(5, int32_t{-1}, int64_t{1} << 40, "", 0.0)), (int64_t{1} << 40) - 1000);
}

// The message with its "%s" places filled in turn (the file only when given).
std::string Missing(const char* file, const char* name)
{
    const std::string format = file ? gb::kErrDllFileExportMissing : gb::kErrDllExportMissing;
    std::string m;
    size_t from = 0;
    for (const char* arg : {file, name}) {
        if (!arg)
            continue;
        const size_t at = format.find("%s", from);
        m.append(format, from, at - from).append(arg);
        from = at + 2;
    }
    m.append(format, from);
    return test::Hex(RuntimeErrorText(0, m.c_str()));
}

TEST_F(DllCommandTest, AnOrdinalNeverResolves)
{
    EXPECT_EXIT(ResolveDllCommand(2), testing::ExitedWithCode(255), Missing(nullptr, "#12"));
}

TEST_F(DllCommandTest, AMissingExportNamesTheFileWhenOneIsGiven)
{
    EXPECT_EXIT(ResolveDllCommand(3), testing::ExitedWithCode(255), Missing("libm.so.6", "no_such_export"));
    EXPECT_EXIT(ResolveDllCommand(4), testing::ExitedWithCode(255), Missing("no-such-library.so", "anything"));
}

} // namespace
} // namespace mt
