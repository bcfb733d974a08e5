// The edit box through the engine: Content and its change event, the
// selection in bytes, input modes and their normalisation, the spinner,
// rebuilds, Enter, and what the box keeps of its properties.
#include <cstdlib>
#include <string>
#include <vector>

#include "component_fixture.h"
#include "components/edit_box_properties.h"
#include "components/font_record.h"
#include "components/property_types.h"
#include "platform/edit_control.h"
#include "platform/input_simulation.h"
#include "platform/native_window.h"

namespace mt::test {
namespace {

constexpr uint32_t kBox = ComponentIdOf(1);
constexpr uint32_t kOk = ComponentIdOf(2);

constexpr int32_t Index(EditBoxProperty own) { return int32_t{kCommonPropertyCount} + own; }

// What the box raised: the event index, and the argument of event 1.
struct Raised {
    int32_t index;
    int32_t arg;
    bool operator==(const Raised&) const = default;
};

class EditBox : public LoadedWindow {
protected:
    // The box with events 0, 1, -7 and -8 recorded, and a button to take
    // the focus (a default button when buttonType is 1) whose click goes to
    // handler slot 4. A window loaded before goes first.
    void LoadBox(const EditBoxProperties& p = {}, int32_t buttonType = 0, int32_t height = 24)
    {
        engine::ReleaseDescriptions();
        platform::FlushDestroyedWindows();
        ComponentRecord box = EditBoxRecord(kBox, p, 10, 10, 200, height);
        const int32_t indices[] = {0, 1, -7, -8};
        for (int k = 0; k < 4; ++k) {
            Bind(box, indices[k], k);
            SetHandler(k, [this, i = indices[k]](EventCall* call) {
                events.push_back({i, call->argc > 0 ? AsInt32(call->args[0]) : 0});
            });
        }
        ComponentRecord ok = ButtonRecord(kOk, "ok", 10, 60, buttonType);
        Bind(ok, 0, 4);
        Load({WindowRecord(), box, ok});
        events.clear();
    }

    std::string Text(int32_t index)
    {
        char* t = reinterpret_cast<char*>(Read(kBox, index));
        std::string s = t ? t : "";
        std::free(t);
        return s;
    }
    void WriteText(int32_t index, const std::string& gb) { Write(kBox, index, reinterpret_cast<uintptr_t>(gb.c_str())); }
    int32_t Number(int32_t index) { return static_cast<int32_t>(Read(kBox, index)); }
    void WriteNumber(int32_t index, int32_t v) { Write(kBox, index, static_cast<uint32_t>(v)); }
    std::vector<int32_t> Indices() const
    {
        std::vector<int32_t> out;
        for (const Raised& r : events)
            out.push_back(r.index);
        return out;
    }
    void FocusBox()
    {
        platform::SetFocusWindow(Handle(kBox));
        events.clear();
    }
    void Type(const std::string& keys)
    {
        for (char c : keys)
            platform::SimulateCharacter(std::string(1, c));
    }

    std::vector<Raised> events;
};

// ---- Content and event 0 ---------------------------------------------------------------

TEST_F(EditBox, WritingContentRaisesContentChangedExactlyOnce)
{
    LoadBox();
    const std::string texts[] = {"abc", "abc", "", "", Gb("中间文本"), "x"};
    for (const std::string& t : texts) {
        events.clear();
        WriteText(Index(kEbContent), t);
        EXPECT_EQ(Indices(), std::vector<int32_t>{0}) << t;
        EXPECT_EQ(Text(Index(kEbContent)), t);
    }
}

TEST_F(EditBox, HandlerOfContentChangedReadsTheNewTextAndMayWriteAgain)
{
    LoadBox();
    std::vector<std::string> seen;
    SetHandler(0, [&](EventCall*) {
        seen.push_back(Text(Index(kEbContent)));
        if (seen.size() == 1)
            WriteText(Index(kEbContent), "second"); // nests once
    });
    WriteText(Index(kEbContent), "first");
    EXPECT_EQ(seen, (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(Text(Index(kEbContent)), "second");
}

TEST_F(EditBox, EachTypedCharacterRaisesContentChangedOnce)
{
    LoadBox();
    FocusBox();
    Type("ab");
    platform::SimulateCharacter(Gb("中"));
    EXPECT_EQ(Indices(), (std::vector<int32_t>{0, 0, 0}));
    EXPECT_EQ(Text(Index(kEbContent)), "ab" + Gb("中"));
}

TEST_F(EditBox, SelTextReplacesTheSelectionAndRaisesContentChangedOnce)
{
    EditBoxProperties p;
    p.content = "ab" + Gb("中文") + "cd";
    LoadBox(p);
    WriteNumber(Index(kEbSelStart), 2);
    WriteNumber(Index(kEbSelLength), 2);
    events.clear();
    WriteText(Index(kEbSelText), "xy");
    EXPECT_EQ(Indices(), std::vector<int32_t>{0});
    EXPECT_EQ(Text(Index(kEbContent)), "abxy" + Gb("文") + "cd");
}

// ---- selection in bytes ------------------------------------------------------------------

TEST_F(EditBox, SelStartMinusOnePutsTheCaretAtTheEnd)
{
    EditBoxProperties p;
    p.content = "ab" + Gb("中文");
    LoadBox(p);
    WriteNumber(Index(kEbSelLength), 3);
    WriteNumber(Index(kEbSelStart), -1);
    EXPECT_EQ(Number(Index(kEbSelStart)), 6);
    EXPECT_EQ(Number(Index(kEbSelLength)), 0);
    EXPECT_EQ(Text(Index(kEbSelText)), "");
}

TEST_F(EditBox, SelLengthMinusOneSelectsTheWholeTextFromZero)
{
    EditBoxProperties p;
    p.content = "ab" + Gb("中文");
    LoadBox(p);
    WriteNumber(Index(kEbSelStart), 3);
    WriteNumber(Index(kEbSelLength), -1);
    EXPECT_EQ(Number(Index(kEbSelStart)), 0);
    EXPECT_EQ(Number(Index(kEbSelLength)), 6);
    EXPECT_EQ(Text(Index(kEbSelText)), p.content);
}

TEST_F(EditBox, SelStartThenSelLengthSelectsThoseBytes)
{
    EditBoxProperties p;
    p.content = "ab" + Gb("中文") + "cd"; // a b D6 D0 CE C4 c d
    LoadBox(p);
    const struct {
        int32_t start, length;
        int32_t readStart, readLength;
        std::string selected;
    } cases[] = {
        {2, 4, 2, 4, Gb("中文")}, {0, 2, 0, 2, "ab"},      {6, 2, 6, 2, "cd"},
        {2, 2, 2, 2, Gb("中")},   {4, 100, 4, 4, Gb("文") + "cd"}, {-5, -3, 0, 0, ""},
        {8, 1, 8, 0, ""},
    };
    for (const auto& c : cases) {
        WriteNumber(Index(kEbSelStart), c.start);
        WriteNumber(Index(kEbSelLength), c.length);
        EXPECT_EQ(Number(Index(kEbSelStart)), c.readStart) << c.start << "+" << c.length;
        EXPECT_EQ(Number(Index(kEbSelLength)), c.readLength) << c.start << "+" << c.length;
        EXPECT_EQ(Text(Index(kEbSelText)), c.selected) << c.start << "+" << c.length;
    }
}

TEST_F(EditBox, StoredSelectionIsAppliedOnCreation)
{
    EditBoxProperties p;
    p.content = "0123456789";
    p.selStart = 3;
    p.selLength = 4;
    LoadBox(p);
    EXPECT_EQ(Text(Index(kEbSelText)), "3456");
}

// ---- input modes --------------------------------------------------------------------------

TEST_F(EditBox, TypedCharactersPassTheInputModeFilter)
{
    const struct {
        int32_t mode;
        std::string typed, kept;
    } cases[] = {
        {3, "a-1.x", "-1"}, {4, "a-1.5e", "-1.5"}, {5, "-12.", "12"}, {6, "+-3", "-3"}, {0, "a-", "a-"}, {1, "abc", ""},
    };
    for (const auto& c : cases) {
        EditBoxProperties p;
        p.inputMode = c.mode;
        LoadBox(p);
        FocusBox();
        Type(c.typed);
        EXPECT_EQ(Text(Index(kEbContent)), c.kept) << "mode " << c.mode;
    }
}

TEST_F(EditBox, ByteModeClampsWhenTheFocusLeavesThenRaisesLosesFocus)
{
    EditBoxProperties p;
    p.inputMode = kInputByte;
    LoadBox(p);
    FocusBox();
    Type("300");
    events.clear();
    platform::SetFocusWindow(Handle(kOk));
    EXPECT_EQ(Text(Index(kEbContent)), "255");
    EXPECT_EQ(Indices(), (std::vector<int32_t>{0, -8}));
}

TEST_F(EditBox, ByteModeShowsZeroAsAnEmptyBox)
{
    EditBoxProperties p;
    p.inputMode = kInputByte;
    LoadBox(p);
    FocusBox();
    WriteText(Index(kEbContent), "-7");
    EXPECT_EQ(Text(Index(kEbContent)), "-7"); // a write is kept as it is until the focus leaves
    events.clear();
    std::string seenByLosesFocus = "unset";
    SetHandler(3, [&](EventCall*) {
        events.push_back({-8, 0});
        seenByLosesFocus = Text(Index(kEbContent));
    });
    platform::SetFocusWindow(Handle(kOk));
    EXPECT_EQ(Text(Index(kEbContent)), "");
    EXPECT_EQ(seenByLosesFocus, "");
    EXPECT_EQ(Indices(), (std::vector<int32_t>{0, -8}));
}

TEST_F(EditBox, NormalisedTextKeepsTheCaretAtTheOldSelectionStart)
{
    EditBoxProperties p;
    p.inputMode = kInputShort;
    p.content = "0040000";
    LoadBox(p);
    FocusBox();
    WriteNumber(Index(kEbSelStart), 3);
    WriteNumber(Index(kEbSelLength), 2);
    platform::SetFocusWindow(Handle(kOk));
    EXPECT_EQ(Text(Index(kEbContent)), "32767");
    EXPECT_EQ(Number(Index(kEbSelStart)), 3);
    EXPECT_EQ(Number(Index(kEbSelLength)), 0);
}

TEST_F(EditBox, UnchangedTextRaisesNoContentChangedWhenTheFocusLeaves)
{
    EditBoxProperties p;
    p.inputMode = kInputByte;
    p.content = "12";
    LoadBox(p);
    platform::SetFocusWindow(Handle(kBox));
    platform::SetFocusWindow(Handle(kOk));
    EXPECT_EQ(Indices(), (std::vector<int32_t>{-7, -8}));
}

TEST_F(EditBox, PasswordModeKeepsTheFirstByteOfPasswordChar)
{
    LoadBox();
    const struct {
        std::string written, read;
    } cases[] = {{"#x", "#"}, {"", ""}, {Gb("中"), Gb("中").substr(0, 1)}, {"*", "*"}};
    for (const auto& c : cases) {
        WriteText(Index(kEbPasswordChar), c.written);
        EXPECT_EQ(Text(Index(kEbPasswordChar)), c.read);
    }
    WriteNumber(Index(kEbInputMode), kInputPassword);
    WriteText(Index(kEbContent), "secret");
    EXPECT_EQ(Text(Index(kEbContent)), "secret");
}

// ---- the spinner ------------------------------------------------------------------------------

TEST_F(EditBox, AutomaticSpinnerCountsAndWrapsAtTheRangeEnds)
{
    EditBoxProperties p;
    p.spinButton = kSpinAutomatic;
    p.spinMin = 100; // the bounds are taken in either order
    p.spinMax = 0;
    LoadBox(p);
    ASSERT_EQ(Number(Index(kEbSpinButton)), kSpinAutomatic);
    const struct {
        std::string before;
        int direction;
        std::string after;
    } cases[] = {
        {"100", +1, "0"}, {"0", -1, "100"}, {"41abc", +1, "42"}, {"", -1, "100"}, {"", +1, "1"}, {"99999", +1, "0"},
    };
    for (const auto& c : cases) {
        WriteText(Index(kEbContent), c.before);
        platform::SetFocusWindow(Handle(kOk));
        events.clear();
        platform::SimulateSpinnerArrow(Handle(kBox), c.direction);
        EXPECT_EQ(Text(Index(kEbContent)), c.after) << c.before << " " << c.direction;
        EXPECT_EQ(Text(Index(kEbSelText)), c.after); // all selected
        EXPECT_EQ(platform::FocusWindow(), Handle(kBox));
        EXPECT_EQ(Indices(), (std::vector<int32_t>{0, -7})) << c.before;
    }
}

TEST_F(EditBox, SpinnerRangeFollowsSpinMinAndSpinMax)
{
    EditBoxProperties p;
    p.spinButton = kSpinAutomatic;
    p.content = "5";
    LoadBox(p);
    WriteNumber(Index(kEbSpinMax), 5);
    WriteNumber(Index(kEbSpinMin), 2);
    platform::SimulateSpinnerArrow(Handle(kBox), +1);
    EXPECT_EQ(Text(Index(kEbContent)), "2");
    EXPECT_EQ(Number(Index(kEbSpinMin)), 2);
}

TEST_F(EditBox, ManualSpinnerRaisesEventOneAndLeavesTheText)
{
    EditBoxProperties p;
    p.spinButton = kSpinManual;
    p.content = "7";
    LoadBox(p);
    platform::SimulateSpinnerArrow(Handle(kBox), +1);
    platform::SimulateSpinnerArrow(Handle(kBox), -1);
    EXPECT_EQ(events, (std::vector<Raised>{{1, 1}, {1, -1}}));
    EXPECT_EQ(Text(Index(kEbContent)), "7");
}

// ---- rebuilds ------------------------------------------------------------------------------

TEST_F(EditBox, MultiLineRebuildKeepsContentSelectionAndFocus)
{
    EditBoxProperties p;
    p.content = Gb("第一行") + "abc";
    LoadBox(p);
    FocusBox();
    WriteNumber(Index(kEbSelStart), 2);
    WriteNumber(Index(kEbSelLength), 4);
    Component* before = Object(kBox);
    WriteNumber(Index(kEbMultiLine), 1);
    ASSERT_NE(Object(kBox), before);
    EXPECT_TRUE(platform::EditControlOf(Handle(kBox))->isMultiLine());
    EXPECT_EQ(Text(Index(kEbContent)), p.content);
    EXPECT_EQ(Text(Index(kEbSelText)), Gb("一行"));
    EXPECT_EQ(platform::FocusWindow(), Handle(kBox));
    EXPECT_TRUE(platform::IsVisible(Handle(kBox)));
    EXPECT_EQ(Number(Index(kEbMultiLine)), 1);
}

TEST_F(EditBox, OnlyChangedStylePropertiesRebuild)
{
    LoadBox();
    const struct {
        EditBoxProperty property;
        int32_t written, stored;
        bool rebuilds;
    } cases[] = {
        {kEbHideSelection, 1, 1, false}, {kEbHideSelection, 0, 0, true}, {kEbMultiLine, 0, 0, false},
        {kEbScrollBars, 9, 3, true},     {kEbScrollBars, 3, 3, false},    {kEbAlignment, 2, 2, true},
        {kEbAlignment, 7, 2, false},     {kEbCaseConversion, 1, 1, true}, {kEbSpinButton, -1, 0, false},
        {kEbSpinButton, 2, 2, true},     {kEbBorder, 9, 5, false},        {kEbInputMode, 20, 11, false},
        {kEbMaxLength, -5, 0, false},    {kEbTextColor, 0x0000FF, 0x0000FF, false},
    };
    for (const auto& c : cases) {
        Component* before = Object(kBox);
        WriteNumber(Index(c.property), c.written);
        EXPECT_EQ(Object(kBox) != before, c.rebuilds) << c.property << " " << c.written;
        EXPECT_EQ(Number(Index(c.property)), c.stored) << c.property << " " << c.written;
    }
}

TEST_F(EditBox, CaseConversionRebuildConvertsTheKeptText)
{
    EditBoxProperties p;
    p.content = "MiXed";
    LoadBox(p);
    WriteNumber(Index(kEbCaseConversion), 2);
    EXPECT_EQ(Text(Index(kEbContent)), "MIXED");
}

// ---- Enter ---------------------------------------------------------------------------------

TEST_F(EditBox, MultiLineBoxKeepsEnterFromTheDefaultButton)
{
    EditBoxProperties p;
    p.multiLine = true;
    p.content = "ab";
    LoadBox(p, 1);
    int* clicked = Count(4);
    FocusBox();
    WriteNumber(Index(kEbSelStart), -1);
    platform::SimulateKey(platform::kVkReturn);
    EXPECT_EQ(Text(Index(kEbContent)), "ab\r\n");
    EXPECT_EQ(*clicked, 0);
}

TEST_F(EditBox, SingleLineOrReadOnlyBoxLetsEnterPressTheDefaultButton)
{
    const struct {
        bool multiLine;
        int32_t mode;
    } cases[] = {{false, kInputNormal}, {true, kInputReadOnly}};
    for (const auto& c : cases) {
        EditBoxProperties p;
        p.multiLine = c.multiLine;
        p.inputMode = c.mode;
        p.content = "ab";
        LoadBox(p, 1);
        int* clicked = Count(4);
        platform::SetFocusWindow(Handle(kBox));
        platform::SimulateKey(platform::kVkReturn);
        EXPECT_EQ(*clicked, 1) << c.multiLine << " " << c.mode;
        EXPECT_EQ(Text(Index(kEbContent)), "ab");
    }
}

TEST_F(EditBox, LowSingleLineBoxGrowsToOneLineOfItsFont)
{
    FontRecord nine{0, 0, 0, 0, 0, 9, nullptr};
    const auto font = FontFromRecord(nine).toBytes();
    EditBoxProperties p;
    p.font.assign(reinterpret_cast<const char*>(font.data()), font.size());
    LoadBox(p, 0, 10);
    const auto grown = static_cast<int32_t>(Read(kBox, kPropHeight));
    EXPECT_GT(grown, 10 + 2 * platform::kEditEdgeHeight);
    Write(kBox, kPropHeight, 10);
    Write(kBox, Index(kEbFont), 9, kFontSize); // the same font again
    EXPECT_EQ(Read(kBox, kPropHeight), static_cast<uint64_t>(grown));
    p.multiLine = true;
    LoadBox(p, 0, 10);
    EXPECT_EQ(Read(kBox, kPropHeight), 10u);
}

// ---- what the box keeps ---------------------------------------------------------------------

TEST_F(EditBox, FontDataSourceAndDataColumnAreKept)
{
    LoadBox();
    char* face = reinterpret_cast<char*>(Read(kBox, Index(kEbFont), 6)); // the default GUI font's
    EXPECT_NE(face, nullptr);
    std::free(face);
    Write(kBox, Index(kEbFont), 12, 5);                  // 12 points
    EXPECT_EQ(Read(kBox, Index(kEbFont), 5), 12u);
    WriteText(Index(kEbDataSource), "source");
    WriteText(Index(kEbDataColumn), Gb("列"));
    EXPECT_EQ(Text(Index(kEbDataSource)), "source");
    EXPECT_EQ(Text(Index(kEbDataColumn)), Gb("列"));
}

} // namespace
} // namespace mt::test
