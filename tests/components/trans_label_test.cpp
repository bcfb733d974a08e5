// The transparent label kind through the engine: its table entry, defaults,
// stored and clamped values, no events and no rebuilds, refused and cut
// records, and records that come back as they went.
#include <cstdlib>
#include <cstring>

#include "component_fixture.h"
#include "components/components_texts.h"
#include "components/font_record.h"
#include "components/property_types.h"
#include "components/trans_label_texts.h"
#include "platform/native_window.h"
#include "trans_label_records.h"

namespace mt::test {
namespace {

constexpr uint32_t kLabel = ComponentIdOf(1);
constexpr uint32_t kOtherWindowId = 0x52010002;
constexpr platform::Rect kArea{20, 20, 200, 40};

TEST(TransLabelKind, SitsInTheUiExtensionTable)
{
    const ComponentKind* kind = FindComponentKind(kKindCodeTransLabel);
    ASSERT_EQ(kind, &kUiExtensionKinds[4]);
    EXPECT_STREQ(kind->name, gb::kKindTransLabel);
    EXPECT_STREQ(kind->englishName, "TransLabel");
    EXPECT_EQ(kind->flags, 0x00012040u);
    ASSERT_EQ(kind->propertyCount, 15);
    const uint16_t types[15] = {1001, 1001, 1001, 1001, 1005, 1003, 1003, 1011,
                                1005, 1006, 1013, 1014, 1006, 1003, 1006};
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(PropertyTypeOf(kind->properties[i]), types[i]) << i;
    for (int32_t n : {1, 4, 5, 6, 9})
        EXPECT_NE(kind->kindInterface(n), nullptr) << n;
    for (int32_t n : {2, 3, 7, 8, 10, 11})
        EXPECT_EQ(kind->kindInterface(n), nullptr) << n;
}

class TransLabel : public LoadedWindow {
protected:
    void LoadLabel(const std::string& properties)
    {
        ComponentRecord label = LabelRecord(kLabel, kArea, properties);
        for (int32_t e = -12; e <= 0; ++e)
            Bind(label, e, e + 12);
        Load({WindowRecord(), label});
    }

    std::string Text(int32_t index)
    {
        auto* t = reinterpret_cast<char*>(Read(kLabel, index));
        std::string s = t ? t : "";
        std::free(t);
        return s;
    }

    RawPropertyValue Raw(int32_t index)
    {
        RawPropertyValue v;
        auto get = KindRoutineOf<GetPropertyRoutine>(Object(kLabel)->kind(), kRoutineGetProperty);
        EXPECT_EQ(get(Object(kLabel), index - 8, &v), 1);
        return v;
    }

    std::string Saved(Component* c = nullptr)
    {
        c = c ? c : Object(kLabel);
        auto save = KindRoutineOf<SavePropertiesRoutine>(c->kind(), kRoutineSaveProperties);
        int32_t length = 0;
        uint8_t* block = save(c, &length);
        std::string out(reinterpret_cast<const char*>(block), static_cast<size_t>(length));
        std::free(block);
        return out;
    }
};

TEST_F(TransLabel, AnEmptyRecordGivesTheDefaults)
{
    LoadLabel("");
    EXPECT_EQ(Text(kCaption), gb::kTransLabelDefaultCaption);
    EXPECT_EQ(Text(kCaption), Gb("透明标签"));
    const struct {
        int32_t index;
        uint64_t value;
    } defaults[] = {{kTextEffect, 0}, {kTextColor, 0}, {kHorzAlign, 0}, {kWordWrap, 0}, {kVertAlign, 1}};
    for (const auto& d : defaults)
        EXPECT_EQ(Read(kLabel, d.index), d.value) << d.index;
    const RawPropertyValue font = Raw(kFont);
    EXPECT_EQ(font.value, 0u);
    EXPECT_EQ(font.length, 0u);
    EXPECT_TRUE(platform::IsVisible(Handle(kLabel)));
}

TEST_F(TransLabel, ChoicesAreClampedLogicalsAndColoursStored)
{
    LoadLabel("");
    const struct {
        int32_t index;
        int32_t written;
        uint64_t stored;
    } cases[] = {
        {kTextEffect, 5, 3},
        {kTextEffect, -1, 0},
        {kTextEffect, 2, 2},
        {kHorzAlign, -1, 0},
        {kHorzAlign, 7, 2},
        {kHorzAlign, 1, 1},
        {kVertAlign, 9, 2},
        {kVertAlign, -4, 0},
        {kWordWrap, 1, 1},
        {kWordWrap, 0, 0},
        {kTextColor, 0x00123456, 0x00123456},
        {kTextColor, static_cast<int32_t>(platform::kDefaultColor), platform::kDefaultColor},
    };
    for (const auto& c : cases) {
        Write(kLabel, c.index, static_cast<uint32_t>(c.written));
        EXPECT_EQ(Read(kLabel, c.index), c.stored) << c.index << " " << c.written;
        EXPECT_EQ(Raw(c.index).value, c.stored) << c.index << " " << c.written;
    }
}

TEST_F(TransLabel, CaptionAndFontAreKept)
{
    LoadLabel("");
    const std::string caption = Gb("共计12个字符。");
    Write(kLabel, kCaption, reinterpret_cast<uintptr_t>(caption.c_str()));
    EXPECT_EQ(Text(kCaption), caption);
    EXPECT_STREQ(Raw(kCaption).pointer<char>(), caption.c_str());
    Write(kLabel, kCaption, 0); // a null text is the empty text
    EXPECT_EQ(Text(kCaption), "");

    Write(kLabel, kFont, 14, kFontSize);
    Write(kLabel, kFont, reinterpret_cast<uintptr_t>("Serif"), kFontFaceName);
    EXPECT_EQ(Read(kLabel, kFont, kFontSize), 14u);
    EXPECT_EQ(Raw(kFont).length, platform::kLogicalFontSize);
    Write(kLabel, kFont, 0); // a null record: the default GUI font again
    EXPECT_EQ(Raw(kFont).value, 0u);
}

TEST_F(TransLabel, WritesRaiseNoEventAndNeverRebuild)
{
    LoadLabel("");
    std::vector<int*> counts;
    for (int k = 0; k <= 12; ++k)
        counts.push_back(Count(k));
    Component* before = Object(kLabel);
    const platform::WindowHandle handle = Handle(kLabel);
    const std::string caption = Gb("共计0个字符。");
    for (int i = 0; i < 3; ++i)
        Write(kLabel, kCaption, reinterpret_cast<uintptr_t>(caption.c_str()));
    for (int32_t index : {kTextEffect, kTextColor, kHorzAlign, kWordWrap, kVertAlign})
        Write(kLabel, index, 1);
    platform::ProcessPendingEvents();
    EXPECT_EQ(Object(kLabel), before);
    EXPECT_EQ(Handle(kLabel), handle);
    for (int k = 0; k <= 12; ++k)
        EXPECT_EQ(*counts[static_cast<size_t>(k)], 0) << "event " << k - 12;
    auto set = KindRoutineOf<SetPropertyRoutine>(before->kind(), kRoutineSetProperty);
    for (int32_t own = 0; own <= 7; ++own) // 7: not a property; still no rebuild
        EXPECT_EQ(set(before, own, RawPropertyValue{}), 0) << own;
}

// The engine turns negative choices into 0 and never passes an index past
// the table; called directly, the kind clamps and ignores all the same.
TEST_F(TransLabel, DirectCallsAreClampedAndUnknownIndicesIgnored)
{
    LoadLabel("");
    auto set = KindRoutineOf<SetPropertyRoutine>(Object(kLabel)->kind(), kRoutineSetProperty);
    for (int32_t index : {kTextEffect, kHorzAlign, kVertAlign}) {
        set(Object(kLabel), index - 8, RawPropertyValue{0xFFFFFFFFu, 0});
        EXPECT_EQ(Raw(index).value, 0u) << index;
    }
    set(Object(kLabel), kWordWrap - 8, RawPropertyValue{5, 0}); // only 1 wraps
    EXPECT_EQ(Raw(kWordWrap).value, 0u);
    set(Object(kLabel), kFont - 8, RawPropertyValue{reinterpret_cast<uintptr_t>("short"), 5});
    EXPECT_EQ(Raw(kFont).length, 0u); // not 60 bytes: the default GUI font

    const std::string saved = Saved();
    set(Object(kLabel), 7, RawPropertyValue{1, 0});
    set(Object(kLabel), -3, RawPropertyValue{1, 0});
    EXPECT_EQ(Saved(), saved);
    auto get = KindRoutineOf<GetPropertyRoutine>(Object(kLabel)->kind(), kRoutineGetProperty);
    RawPropertyValue v;
    EXPECT_EQ(get(Object(kLabel), 7, &v), 0);
    EXPECT_EQ(get(Object(kLabel), -1, &v), 0);
}

// The label is saved from window A and created from that record in window B.
TEST_F(TransLabel, SavedRecordsCreateTheSameLabel)
{
    TransLabelProperties p = TransLabelProperties::Defaults();
    ComponentRecord otherWindow = WindowRecord();
    otherWindow.id = 0x06010001;
    EngineRuntime::Install({Window({WindowRecord(), LabelRecord(kLabel, kArea, p)}),
                            Window({otherWindow, LabelRecord(ComponentIdOf(2), kArea, p)}, kOtherWindowId)});
    ASSERT_EQ(engine::LoadWindow(*FindWindow(engine::Descriptions(), kWindowId), false, false, nullptr), 1);

    const std::string caption = Gb("共计3个字符。");
    Write(kLabel, kCaption, reinterpret_cast<uintptr_t>(caption.c_str()));
    Write(kLabel, kTextEffect, 2);
    Write(kLabel, kTextColor, 0x000000FF);
    Write(kLabel, kHorzAlign, 1);
    Write(kLabel, kWordWrap, 1);
    Write(kLabel, kVertAlign, 2);
    Write(kLabel, kFont, 1, kFontBold);
    const std::string saved = Saved();

    WindowDescription* b = FindWindow(engine::Descriptions(), kOtherWindowId);
    b->records[1].properties = saved;
    ASSERT_EQ(engine::LoadWindow(*b, false, false, nullptr), 1);
    constexpr uint32_t kCopy = ComponentIdOf(2);
    auto* copy = static_cast<Component*>(engine::FindComponent(kOtherWindowId, kCopy));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Saved(copy), saved);
    for (int32_t index : {kTextEffect, kTextColor, kHorzAlign, kWordWrap, kVertAlign})
        EXPECT_EQ(engine::ReadProperty(kOtherWindowId, kCopy, index, -1), Read(kLabel, index)) << index;
    EXPECT_EQ(engine::ReadProperty(kOtherWindowId, kCopy, kFont, kFontBold), 1u);
    auto* text = reinterpret_cast<char*>(engine::ReadProperty(kOtherWindowId, kCopy, kCaption, -1));
    EXPECT_EQ(std::string(text ? text : ""), caption);
    std::free(text);
}

// A window whose label record is refused does not load; cut records and
// lying lengths are refused without reading past the record.
TEST(TransLabelLoading, RefusedRecordsFailTheLoad)
{
    EngineRuntime runtime;
    TransLabelProperties p = TransLabelProperties::Defaults();
    p.font = BigBoldFont();
    const std::string whole = WriteTransLabelRecord(p).data();
    const auto with = [&whole](size_t at, uint32_t word) {
        std::string r = whole;
        std::memcpy(r.data() + at, &word, 4);
        return r;
    };
    const struct {
        std::string record;
        int32_t loaded;
    } cases[] = {
        {whole, 1}, {"", 1}, {with(0, 0), 1}, {with(0, 2), 0}, {with(0, 0xFFFFFFFF), 0}, {whole.substr(0, 3), 0}, {whole.substr(0, whole.size() - 1), 0}, {with(88, 0x7FFFFFF0), 0}, // caption length
    };
    for (const auto& c : cases) {
        engine::ReleaseDescriptions();
        platform::FlushDestroyedWindows();
        EngineRuntime::Install({Window({WindowRecord(), LabelRecord(kLabel, kArea, c.record)})});
        EXPECT_EQ(engine::LoadWindow(*FindWindow(engine::Descriptions(), kWindowId), false, false, nullptr), c.loaded)
            << c.record.size();
        EXPECT_EQ(engine::FindComponent(kWindowId, kLabel) != nullptr, c.loaded == 1) << c.record.size();
    }
}

} // namespace
} // namespace mt::test
