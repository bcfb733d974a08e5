#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <string>

#include "abi/runtime_entry_table.h"
#include "abi/service_calls.h"
#include "frame/auxiliary_call.h"
#include "frame/memory.h"
#include "frame/startup.h"

namespace mt {
namespace {

class FileSearchTest : public testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/mt-search-XXXXXX";
        dir_ = mkdtemp(tmpl);
        for (const char* name : {"a.txt", "b.txt", "c.log", ".hidden.txt"})
            std::ofstream(dir_ + "/" + name) << "x";
        mkdir((dir_ + "/sub.txt").c_str(), 0755);
        svc::SetService(RuntimeServiceEntry);
    }
    void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }

    // Every name one search yields, stepping until it runs out.
    std::set<std::string> All(const std::string& pattern, uint32_t mask, bool filesOnly)
    {
        std::set<std::string> names;
        intptr_t handle = 0;
        auto* text = reinterpret_cast<char*>(
            AuxiliaryCall(kAuxFileSearchStep, reinterpret_cast<uintptr_t>(pattern.c_str()), mask, filesOnly,
                          reinterpret_cast<uintptr_t>(&handle)));
        while (text) {
            names.insert(text);
            Free(text);
            text = reinterpret_cast<char*>(AuxiliaryCall(kAuxFileSearchStep, reinterpret_cast<uintptr_t>(""), mask,
                                                         filesOnly, reinterpret_cast<uintptr_t>(&handle)));
        }
        EXPECT_EQ(handle, 0); // a finished search closes its handle
        return names;
    }

    std::string dir_;
};

TEST_F(FileSearchTest, FilesOnlyAcceptsEveryEntryThatIsNotADirectory)
{
    EXPECT_EQ(All(dir_ + "/*.txt", 0, true), (std::set<std::string>{"a.txt", "b.txt"}));
}

TEST_F(FileSearchTest, MaskZeroAcceptsPlainFilesOnly)
{
    EXPECT_EQ(All(dir_ + "/*", 0, false), (std::set<std::string>{"a.txt", "b.txt", "c.log"}));
}

TEST_F(FileSearchTest, AMaskAcceptsEntriesSharingABit)
{
    EXPECT_EQ(All(dir_ + "/*.txt", 0x10, false), (std::set<std::string>{"sub.txt"}));
    EXPECT_EQ(All(dir_ + "/.*", 0x02, false), (std::set<std::string>{".", "..", ".hidden.txt"}));
}

TEST_F(FileSearchTest, ContinuingWithoutASearchGivesNull)
{
    intptr_t handle = 0;
    EXPECT_EQ(AuxiliaryCall(kAuxFileSearchStep, 0, 0, 0, reinterpret_cast<uintptr_t>(&handle)), 0);
    EXPECT_EQ(AuxiliaryCall(kAuxFileSearchStep, reinterpret_cast<uintptr_t>("/nonexistent/dir/*"), 0, 0,
                            reinterpret_cast<uintptr_t>(&handle)),
              0);
}

TEST(UnshareArray, AStaticArrayIsReplacedByAHeapCopy)
{
    // One dimension of 3 two-byte elements.
    alignas(4) static const uint8_t literal[4 + 4 + 6] = {1, 0, 0, 0, 3, 0, 0, 0, 1, 2, 3, 4, 5, 6};
    RegisterStaticRange(literal, literal + sizeof literal);
    void* variable = const_cast<uint8_t*>(literal);
    AuxiliaryCall(kAuxUnshareArray, 2, reinterpret_cast<uintptr_t>(&variable), 0, 0);
    ASSERT_NE(variable, literal);
    EXPECT_EQ(std::memcmp(variable, literal, sizeof literal), 0);
    void* heapBlock = variable;
    AuxiliaryCall(kAuxUnshareArray, 2, reinterpret_cast<uintptr_t>(&variable), 0, 0);
    EXPECT_EQ(variable, heapBlock); // already changeable: left alone
    Free(variable);
    ClearStaticRanges();
}

} // namespace
} // namespace mt
