// The edit box through the engine: Content and its change event, bytes
// kept exactly under every kind of edit, the selection in bytes, input
// modes and their normalisation, the spinner, rebuilds, Enter, and what the
// box keeps of its properties.
#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "component_fixture.h"
#include "components/edit_box_properties.h"
#include "components/font_record.h"
#include "components/property_types.h"
#include "platform/clipboard.h"
#include "platform/edit_control.h"
#include "platform/native_window.h"
#include "platform/testing/input_simulation.h"

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

// ---- bytes kept exactly ----------------------------------------------------------------

const std::string kFourByte = "\x94\x39\xFC\x36"; // U+1F600, one character of four bytes

// Where characters start in GB18030 bytes, the end included: CR LF is one
// character, a byte that does not decode is a character of its own.
std::vector<size_t> CharacterStarts(const std::string& s)
{
    auto at = [&](size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; };
    std::vector<size_t> starts;
    for (size_t i = 0; i < s.size();) {
        starts.push_back(i);
        const unsigned b = at(i), b2 = at(i + 1);
        if (b == '\r' && b2 == '\n')
            i += 2;
        else if (b >= 0x81 && b <= 0xFE && b2 >= 0x30 && b2 <= 0x39 && at(i + 2) >= 0x81 && at(i + 2) <= 0xFE &&
                 at(i + 3) >= 0x30 && at(i + 3) <= 0x39)
            i += 4;
        else if (b >= 0x81 && b <= 0xFE && b2 >= 0x40 && b2 <= 0xFE && b2 != 0x7F)
            i += 2;
        else
            i += 1;
    }
    starts.push_back(s.size());
    return starts;
}

TEST_F(EditBox, ContentReadsBackEveryByteItWasGiven)
{
    const struct {
        const char* name;
        std::string bytes;
        bool lineBreaks;
    } cases[] = {
        {"LF", "ab\ncd\n", true},
        {"CR", "ab\rcd\r", true},
        {"CR LF", "ab\r\ncd", true},
        {"mixed breaks", "1\n2\r3\r\n4\n\r5\r\r\n\n", true},
        {"lead byte before LF", "\xD6\n" + Gb("中"), true},
        {"lone FF", "a\xFF"
                    "b",
         false},
        {"lone 80", "\x80"
                    "a" +
                        Gb("中"),
         false},
        {"lead byte at the end", "ab\xD6", false},
        {"cut-off four-byte character", "a\x81\x30\x81", false},
        {"four-byte characters", kFourByte + "a\x81\x30\x81\x30" + kFourByte, false},
    };
    for (bool multiLine : {true, false}) {
        EditBoxProperties p;
        p.multiLine = multiLine;
        LoadBox(p, 0, 100);
        for (const auto& c : cases) {
            if (c.lineBreaks && !multiLine)
                continue;
            WriteText(Index(kEbContent), c.bytes);
            EXPECT_EQ(Text(Index(kEbContent)), c.bytes) << c.name << (multiLine ? " multi-line" : " single-line");
            WriteNumber(Index(kEbSelLength), -1);
            EXPECT_EQ(Text(Index(kEbSelText)), c.bytes) << c.name;
            WriteNumber(Index(kEbSelStart), -1);
            WriteText(Index(kEbSelText), c.bytes); // in at the end, as a handler writes
            EXPECT_EQ(Text(Index(kEbContent)), c.bytes + c.bytes) << c.name;
        }
    }
}

TEST_F(EditBox, SelectionsSnapToWholeCharactersOfEveryWidth)
{
    EditBoxProperties p;
    p.multiLine = true;
    p.content = "a" + kFourByte + Gb("中") + "\xFF\r\nb"; // U+1F600 at 1, 中 at 5, FF at 7, CR LF at 8
    LoadBox(p, 0, 100);
    const struct {
        int32_t start, length;
        int32_t readStart, readLength;
    } cases[] = {
        {1, 4, 1, 4},
        {2, 0, 1, 0},
        {4, 0, 1, 0},
        {2, 1, 1, 4},
        {1, 5, 1, 6},
        {6, 1, 5, 2},
        {7, 1, 7, 1},
        {9, 0, 8, 0},
        {9, 1, 8, 2},
        {8, 1, 8, 2},
        {0, 11, 0, 11},
        {5, 3, 5, 3},
    };
    for (const auto& c : cases) {
        WriteNumber(Index(kEbSelStart), c.start);
        WriteNumber(Index(kEbSelLength), c.length);
        EXPECT_EQ(Number(Index(kEbSelStart)), c.readStart) << c.start << "+" << c.length;
        EXPECT_EQ(Number(Index(kEbSelLength)), c.readLength) << c.start << "+" << c.length;
        EXPECT_EQ(Text(Index(kEbSelText)), p.content.substr(c.readStart, c.readLength)) << c.start << "+" << c.length;
    }
}

// Typing, Enter, pasting, cutting, input-method commits, undo and redo at
// random places, against the bytes a plain string model expects. Every
// edit raises the content-changed event once.
// Enter puts in the form of the text's first line break; CR LF without one.
std::string FirstBreak(const std::string& text)
{
    const size_t at = text.find_first_of("\r\n");
    if (at == std::string::npos)
        return "\r\n";
    if (text[at] == '\n')
        return "\n";
    return at + 1 < text.size() && text[at + 1] == '\n' ? "\r\n" : "\r";
}

TEST_F(EditBox, RandomEditsKeepTheBytesOfAPlainModel)
{
    EditBoxProperties p;
    p.multiLine = true;
    p.scrollBars = 3;
    p.content = "ab\n" + Gb("中") + "\r" + kFourByte + "\r\n";
    LoadBox(p, 0, 120);
    FocusBox();
    std::string model = p.content;
    std::vector<std::string> history{model}; // the model after each edit
    std::mt19937 rng(9);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    const std::string typed[] = {"x", Gb("中"), kFourByte, "\x81\x30\x86\x38"}; // the last: À
    const std::string pasted[] = {"a\nb", Gb("第一行\n第二行\n"), "\r\n" + kFourByte + "\r", Gb("无换行")};
    for (int step = 0; step < 300; ++step) {
        const std::vector<size_t> starts = CharacterStarts(model);
        size_t from = starts[pick(starts.size())], to = starts[pick(starts.size())];
        if (from > to)
            std::swap(from, to);
        const size_t op = pick(7);
        if (pick(3) == 0 || op == 4) // mostly a caret; an input method starts at one
            to = from;
        WriteNumber(Index(kEbSelStart), static_cast<int32_t>(from));
        WriteNumber(Index(kEbSelLength), static_cast<int32_t>(to - from));
        events.clear();
        std::string in;
        switch (op) {
        case 0:
            in = typed[pick(4)];
            platform::SimulateCharacter(in);
            break;
        case 1:
            in = FirstBreak(model);
            platform::SimulateKey(platform::kVkReturn);
            break;
        case 2:
            in = pasted[pick(4)];
            ASSERT_TRUE(platform::SetClipboardText(in));
            platform::SimulateKey('V', platform::kKeyStateCtrl);
            break;
        case 3:
            platform::SimulateKey('X', platform::kKeyStateCtrl);
            if (to > from) {
                EXPECT_EQ(platform::ClipboardText(), model.substr(from, to - from)) << "step " << step;
            }
            break;
        case 4:
            in = Gb("输入法");
            platform::SimulateInputMethod("shu", in);
            break;
        default: {
            // Undo one to three times: each lands on an earlier state; then
            // redo as often, or go on editing from there.
            const int times = 1 + static_cast<int>(pick(3));
            size_t state = history.size() - 1;
            for (int k = 0; k < times; ++k) {
                events.clear();
                const std::string before = Text(Index(kEbContent));
                platform::SimulateKey('Z', platform::kKeyStateCtrl);
                const std::string now = Text(Index(kEbContent));
                EXPECT_TRUE(events.size() == 1 || (events.empty() && now == before)) << "undo, step " << step;
                size_t j = state + 1;
                while (j > 0 && history[j - 1] != now)
                    --j;
                ASSERT_GT(j, 0u) << "undo reached a text never there, step " << step;
                state = j - 1;
            }
            if (pick(2)) {
                for (int k = 0; k < times; ++k)
                    platform::SimulateKey('Z', platform::kKeyStateCtrl | platform::kKeyStateShift);
                ASSERT_EQ(Text(Index(kEbContent)), model) << "redo, step " << step;
            } else {
                model = history[state];
                history.resize(state + 1);
            }
            continue;
        }
        }
        const bool edits = op != 3 || to > from; // cutting nothing is no edit
        model = model.substr(0, from) + in + model.substr(to);
        if (edits)
            history.push_back(model);
        ASSERT_EQ(Text(Index(kEbContent)), model) << "step " << step << ", edit " << op;
        EXPECT_EQ(Indices(), edits ? std::vector<int32_t>{0} : std::vector<int32_t>{}) << "step " << step;
        EXPECT_EQ(Number(Index(kEbSelStart)), static_cast<int32_t>(from + in.size())) << "step " << step;
    }
}

// A line of 8 MiB without breaks, edited at its start, middle and end:
// a character typed, a line break typed and taken back with one Backspace.
TEST_F(EditBox, ALineOfEightMiBIsEditedAtItsStartMiddleAndEnd)
{
    EditBoxProperties p;
    p.multiLine = true;
    p.scrollBars = 3;
    LoadBox(p, 0, 200);
    std::string line;
    while (line.size() < (8u << 20))
        line += "<a href=\"/x\">" + Gb("网页源码") + "</a>";
    WriteText(Index(kEbContent), line);
    FocusBox();
    for (const size_t at : {size_t{0}, line.size() / 2 - (line.size() / 2) % 25, line.size()}) {
        WriteNumber(Index(kEbSelStart), static_cast<int32_t>(at));
        platform::SimulateCharacter(Gb("中"));
        platform::SimulateKey(platform::kVkReturn);
        platform::SimulateKey(platform::kVkBack);
        line.insert(at, Gb("中"));
        EXPECT_TRUE(Text(Index(kEbContent)) == line) << "at " << at;
        EXPECT_EQ(Number(Index(kEbSelStart)), static_cast<int32_t>(at + 2)) << "at " << at;
    }
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
        {2, 4, 2, 4, Gb("中文")},
        {0, 2, 0, 2, "ab"},
        {6, 2, 6, 2, "cd"},
        {2, 2, 2, 2, Gb("中")},
        {4, 100, 4, 4, Gb("文") + "cd"},
        {-5, -3, 0, 0, ""},
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
        {3, "a-1.x", "-1"},
        {4, "a-1.5e", "-1.5"},
        {5, "-12.", "12"},
        {6, "+-3", "-3"},
        {0, "a-", "a-"},
        {1, "abc", ""},
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
        {"100", +1, "0"},
        {"0", -1, "100"},
        {"41abc", +1, "42"},
        {"", -1, "100"},
        {"", +1, "1"},
        {"99999", +1, "0"},
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
        {kEbHideSelection, 1, 1, false},
        {kEbHideSelection, 0, 0, true},
        {kEbMultiLine, 0, 0, false},
        {kEbScrollBars, 9, 3, true},
        {kEbScrollBars, 3, 3, false},
        {kEbAlignment, 2, 2, true},
        {kEbAlignment, 7, 2, false},
        {kEbCaseConversion, 1, 1, true},
        {kEbSpinButton, -1, 0, false},
        {kEbSpinButton, 2, 2, true},
        {kEbBorder, 9, 5, false},
        {kEbInputMode, 20, 11, false},
        {kEbMaxLength, -5, 0, false},
        {kEbTextColor, 0x0000FF, 0x0000FF, false},
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
    Write(kBox, Index(kEbFont), 12, 5); // 12 points
    EXPECT_EQ(Read(kBox, Index(kEbFont), 5), 12u);
    WriteText(Index(kEbDataSource), "source");
    WriteText(Index(kEbDataColumn), Gb("列"));
    EXPECT_EQ(Text(Index(kEbDataSource)), "source");
    EXPECT_EQ(Text(Index(kEbDataColumn)), Gb("列"));
}

} // namespace
} // namespace mt::test
