// The edit box's stored record: the layout of version 2, older versions,
// refused and truncated records (through the reader and through loading),
// and the texts VisitTexts hands out.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "abi/service_calls.h"
#include "component_fixture.h"
#include "components/edit_box_properties.h"
#include "components/kind_tables.h"
#include "components/property_archive.h"
#include "platform/logical_font.h"
#include "platform/native_window.h"

namespace mt::test {
namespace {

EditBoxProperties Sample()
{
    EditBoxProperties p;
    p.content = "ab" + Gb("中文");
    p.border = 4;
    p.textColor = 0x0000FF;
    p.backColor = 0xFF000000;
    platform::LogicalFont f;
    f.height = -12;
    f.faceName = Gb("宋体");
    const auto font = f.toBytes();
    p.font.assign(reinterpret_cast<const char*>(font.data()), font.size());
    p.hideSelection = false;
    p.maxLength = 20;
    p.multiLine = true;
    p.scrollBars = 2;
    p.alignment = 1;
    p.inputMode = 2;
    p.passwordChar = '#';
    p.caseConversion = 2;
    p.spinButton = 1;
    p.spinMin = -3;
    p.spinMax = 70000;
    p.selStart = 2;
    p.selLength = 2;
    p.dataSource = "source";
    p.dataColumn = "column";
    return p;
}

void ExpectSame(const EditBoxProperties& a, const EditBoxProperties& b)
{
    EXPECT_EQ(WriteEditBoxRecord(a).data(), WriteEditBoxRecord(b).data());
}

// Reads from an exact-size heap copy, so that a sanitizer sees any over-read.
bool ReadCopy(const std::string& record, EditBoxProperties* p)
{
    auto copy = std::make_unique<uint8_t[]>(record.size());
    std::memcpy(copy.get(), record.data(), record.size());
    return ReadEditBoxRecord(copy.get(), record.size(), p);
}

TEST(EditBoxRecord, WritesVersionTwoWithASixteenBitPasswordChar)
{
    const std::string r = WriteEditBoxRecord(Sample()).data();
    uint32_t version;
    std::memcpy(&version, r.data(), 4);
    EXPECT_EQ(version, 2u);
    // Ten 32-bit words, then the password character and a zero byte.
    EXPECT_EQ(r[40], '#');
    EXPECT_EQ(r[41], '\0');
    int32_t caseConversion;
    std::memcpy(&caseConversion, r.data() + 42, 4);
    EXPECT_EQ(caseConversion, 2);
    EXPECT_EQ(r.size(), 42u + 6 * 4 + 4 + 60 + 4 + 6 + 4 + 6 + 4 + 6);
}

TEST(EditBoxRecord, ReadsBackWhatItWrites)
{
    EditBoxProperties back;
    ASSERT_TRUE(ReadCopy(WriteEditBoxRecord(Sample()).data(), &back));
    ExpectSame(back, Sample());
}

TEST(EditBoxRecord, OlderVersionsHaveNoDataBinding)
{
    EditBoxProperties p = Sample();
    p.dataSource.clear();
    p.dataColumn.clear();
    std::string r = WriteEditBoxRecord(p).data();
    r.resize(r.size() - 8); // the two empty texts of version 2
    for (uint32_t version : {0u, 1u}) {
        std::memcpy(r.data(), &version, 4);
        EditBoxProperties back;
        ASSERT_TRUE(ReadCopy(r, &back)) << version;
        ExpectSame(back, p);
    }
}

TEST(EditBoxRecord, EmptyRecordGivesTheDefaults)
{
    EditBoxProperties back = Sample();
    EXPECT_TRUE(ReadEditBoxRecord(nullptr, 0, &back));
    ExpectSame(back, EditBoxProperties{});
    EXPECT_EQ(back.border, 1);
    EXPECT_EQ(back.backColor, 0xFFFFFFu);
    EXPECT_TRUE(back.hideSelection);
    EXPECT_EQ(back.passwordChar, '*');
    EXPECT_EQ(back.spinMax, 100);
}

TEST(EditBoxRecord, RefusesVersionThreeAndEveryTruncation)
{
    std::string r = WriteEditBoxRecord(Sample()).data();
    for (size_t n = 1; n < r.size(); ++n) {
        EditBoxProperties back;
        EXPECT_FALSE(ReadCopy(r.substr(0, n), &back)) << n;
    }
    const uint32_t three = 3;
    std::memcpy(r.data(), &three, 4);
    EditBoxProperties back;
    EXPECT_FALSE(ReadCopy(r, &back));
}

TEST(EditBoxRecord, StoredChoicesAreClampedAndMaxLengthIsNeverNegative)
{
    EditBoxProperties p;
    p.border = 9;
    p.scrollBars = -2;
    p.alignment = 5;
    p.inputMode = 40;
    p.caseConversion = 3;
    p.spinButton = 7;
    p.maxLength = -8;
    EditBoxProperties back;
    ASSERT_TRUE(ReadCopy(WriteEditBoxRecord(p).data(), &back));
    EXPECT_EQ(back.border, 5);
    EXPECT_EQ(back.scrollBars, 0);
    EXPECT_EQ(back.alignment, 2);
    EXPECT_EQ(back.inputMode, 11);
    EXPECT_EQ(back.caseConversion, 2);
    EXPECT_EQ(back.spinButton, 2);
    EXPECT_EQ(back.maxLength, 0);
}

// ---- VisitTexts ------------------------------------------------------------------------------

TEST(EditBoxVisitTexts, VisitsContentFaceNameAndDataBindingAndWritesThemBack)
{
    auto visit = KindRoutineOf<VisitTextsRoutine>(FindComponentKind(kKindCodeEditBox), kRoutineVisitTexts);
    ASSERT_NE(visit, nullptr);
    EngineRuntime runtime; // the runtime's allocation for the result
    const std::string r = WriteEditBoxRecord(Sample()).data();
    std::vector<std::string> seen;
    auto visitor = [](std::string* text, void* user) {
        static_cast<std::vector<std::string>*>(user)->push_back(*text);
        *text += "!";
    };
    int32_t length = 0;
    uint8_t* out = visit(reinterpret_cast<const uint8_t*>(r.data()), static_cast<int32_t>(r.size()), visitor, &seen,
                         &length);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(seen, (std::vector<std::string>{"ab" + Gb("中文"), Gb("宋体"), "source", "column"}));
    EditBoxProperties back;
    ASSERT_TRUE(ReadEditBoxRecord(out, static_cast<size_t>(length), &back));
    svc::Free(out);
    EXPECT_EQ(back.content, "ab" + Gb("中文") + "!");
    EXPECT_EQ(platform::LogicalFont::FromBytes(reinterpret_cast<const uint8_t*>(back.font.data())).faceName,
              Gb("宋体") + "!");
    EXPECT_EQ(back.dataColumn, "column!");

    EXPECT_EQ(visit(reinterpret_cast<const uint8_t*>(r.data()), 10, visitor, &seen, &length), nullptr);
    EXPECT_EQ(length, 0);
}

// ---- loading ----------------------------------------------------------------------------------

class EditBoxLoading : public LoadedWindow {
protected:
    int32_t LoadWith(const std::string& record)
    {
        engine::ReleaseDescriptions();
        platform::FlushDestroyedWindows();
        ComponentRecord box = EditBoxRecord(ComponentIdOf(1), {}, 10, 10);
        box.properties = record;
        EngineRuntime::Install({Window({WindowRecord(), box})});
        return engine::LoadWindow(*FindWindow(engine::Descriptions(), kWindowId), false, false, nullptr);
    }
};

TEST_F(EditBoxLoading, VersionThreeRecordFailsTheLoading)
{
    std::string r = WriteEditBoxRecord(Sample()).data();
    const uint32_t three = 3;
    std::memcpy(r.data(), &three, 4);
    EXPECT_EQ(LoadWith(r), 0);
}

TEST_F(EditBoxLoading, TruncatedRecordsFailTheLoadingAndEmptyOnesLoadTheDefaults)
{
    const std::string r = WriteEditBoxRecord(Sample()).data();
    for (size_t n : {size_t{2}, size_t{41}, size_t{80}, r.size() - 1})
        EXPECT_EQ(LoadWith(r.substr(0, n)), 0) << n;
    EXPECT_EQ(LoadWith(""), 1);
}

TEST_F(EditBoxLoading, SaveAfterLoadingGivesTheStoredRecord)
{
    EditBoxProperties p = Sample();
    p.caseConversion = 0; // else the control keeps "AB" of the stored "ab"
    const std::string r = WriteEditBoxRecord(p).data();
    ASSERT_EQ(LoadWith(r), 1);
    Component* box = Object(ComponentIdOf(1));
    auto save = KindRoutineOf<SavePropertiesRoutine>(box->kind(), kRoutineSaveProperties);
    int32_t length = 0;
    uint8_t* saved = save(box, &length);
    EditBoxProperties back;
    EXPECT_TRUE(ReadEditBoxRecord(saved, static_cast<size_t>(length), &back));
    svc::Free(saved);
    ExpectSame(back, p);
}

} // namespace
} // namespace mt::test
