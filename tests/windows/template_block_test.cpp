#include <gtest/gtest.h>

#include <cstring>

#include "windows/template_reader.h"
#include "windows/template_writer.h"

namespace mt {
namespace {

// The button "按钮清空" of the tool's window, with a 36-byte property record.
ComponentRecord ClearButton()
{
    ComponentRecord r;
    r.id = 0x16010043;
    r.kind = 0x0001000B;
    r.name = "\xb0\xb4\xc5\xa5\xc7\xe5\xbf\xd5"; // 按钮清空
    r.left = 86;
    r.top = 301;
    r.width = 77;
    r.height = 32;
    r.mousePointer = std::string(4, '\0');
    r.state = 0x15;
    r.events = {{0, 0x1c36, nullptr}};
    r.properties = std::string("\x01\0\0\0\0\0\0\0\x01\0\0\0\x01\0\0\0\0\0\0\0\0\0\0\0\x08\0\0\0", 28) +
                   "\xc7\xe5\xbf\xd5\xca\xfd\xbe\xdd"; // caption 清空数据
    return r;
}

WindowDescription Window(std::vector<ComponentRecord> components)
{
    WindowDescription w;
    w.id = 0x52010001;
    w.word1 = 0x00b8d5d8;
    w.word2 = 0x19010007;
    ComponentRecord self;
    self.id = 0x06010000;
    self.kind = 0x00010001;
    self.state = 1;
    w.records.push_back(self);
    for (auto& c : components)
        w.records.push_back(std::move(c));
    return w;
}

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

TEST(TemplateWriter, TheClearButtonBodyHasTheDocumentedLayout)
{
    const std::string body = WriteComponentBody(ClearButton());
    ASSERT_EQ(body.size(), 0x9bu);
    auto word = [&](size_t at) {
        uint32_t v;
        std::memcpy(&v, body.data() + at - 4, 4); // offsets count the length word
        return v;
    };
    EXPECT_EQ(word(0x04), 0x0001000Bu);
    EXPECT_EQ(body.substr(0x1c - 4, 9), std::string("\xb0\xb4\xc5\xa5\xc7\xe5\xbf\xd5\0", 9));
    EXPECT_EQ(word(0x2a), 86u);
    EXPECT_EQ(word(0x2e), 301u);
    EXPECT_EQ(word(0x32), 77u);
    EXPECT_EQ(word(0x36), 32u);
    EXPECT_EQ(word(0x46), 4u);
    EXPECT_EQ(word(0x53), 0x15u);
    EXPECT_EQ(word(0x5b), 1u);
    EXPECT_EQ(word(0x63), 0x1c36u);
    EXPECT_EQ(body.size() - (0x7b - 4), 36u);
}

TEST(TemplateReader, TheClearButtonReadsBackFieldForField)
{
    const std::string block = WriteTemplateBlock({Window({ClearButton()})});
    const char base[0x2000] = {};
    auto windows = ReadTemplateBlock(Bytes(block), block.size(), base);
    ASSERT_TRUE(windows);
    ASSERT_EQ(windows->size(), 1u);
    const WindowDescription& w = (*windows)[0];
    EXPECT_EQ(w.word1, 0x00b8d5d8u);
    ASSERT_EQ(w.records.size(), 2u);
    const ComponentRecord& r = w.records[1];
    EXPECT_EQ(r.kind, 0x0001000Bu);
    EXPECT_EQ(r.name, ClearButton().name);
    EXPECT_EQ(r.left, 86);
    EXPECT_EQ(r.top, 301);
    EXPECT_EQ(r.width, 77);
    EXPECT_EQ(r.height, 32);
    EXPECT_TRUE(r.state & kStateVisible);
    ASSERT_EQ(r.events.size(), 1u);
    EXPECT_EQ(r.events[0].index, 0);
    EXPECT_EQ(r.events[0].handler, base + 0x1c36);
    EXPECT_EQ(r.properties.size(), 36u);
    EXPECT_EQ(WriteTemplateBlock(*windows), block);
}

TEST(TemplateReader, AnIndexLengthOfZeroGivesNoWindows)
{
    const std::string block(4, '\0');
    auto windows = ReadTemplateBlock(Bytes(block), block.size(), nullptr);
    ASSERT_TRUE(windows);
    EXPECT_TRUE(windows->empty());
}

TEST(TemplateReader, OffsetMinusOneGivesANullHandler)
{
    ComponentRecord button = ClearButton();
    button.events = {{0, -1, nullptr}, {-7, 8, nullptr}};
    const std::string block = WriteTemplateBlock({Window({button})});
    const char base[16] = {};
    auto windows = ReadTemplateBlock(Bytes(block), block.size(), base);
    ASSERT_TRUE(windows);
    const auto& events = (*windows)[0].records[1].events;
    EXPECT_EQ(events[0].handler, nullptr);
    EXPECT_EQ(events[1].handler, base + 8);
}

TEST(TemplateReader, ABodyEndingAfterTheFiveWordsHasNoPropertyRecord)
{
    ComponentRecord button = ClearButton();
    button.properties.clear();
    const std::string block = WriteTemplateBlock({Window({button})});
    auto windows = ReadTemplateBlock(Bytes(block), block.size(), nullptr);
    ASSERT_TRUE(windows);
    EXPECT_TRUE((*windows)[0].records[1].properties.empty());
}

TEST(TemplateReader, MenuItemsKeepTheirOwnBodyAndHandler)
{
    ComponentRecord item;
    item.id = 0x26010077;
    item.kind = kMenuItemKind;
    item.menuState = 5;
    item.menuCaption = "File";
    item.menuHandler.offset = 16;
    item.menuRest = "\x01\x02";
    const std::string block = WriteTemplateBlock({Window({item})});
    const char base[32] = {};
    auto windows = ReadTemplateBlock(Bytes(block), block.size(), base);
    ASSERT_TRUE(windows);
    const ComponentRecord& r = (*windows)[0].records[1];
    ASSERT_TRUE(r.isMenuItem());
    EXPECT_EQ(r.menuCaption, "File");
    EXPECT_EQ(r.menuState, 5u);
    EXPECT_EQ(r.menuHandler.handler, base + 16);
    EXPECT_EQ(r.menuRest, "\x01\x02");
}

TEST(TemplateReader, EveryTruncationOfAValidBlockIsRejected)
{
    const std::string block = WriteTemplateBlock({Window({ClearButton()})});
    for (size_t n = 0; n < block.size(); ++n) {
        std::string cut = block.substr(0, n); // its own allocation: an over-read shows under ASan
        EXPECT_FALSE(ReadTemplateBlock(Bytes(cut), cut.size(), nullptr)) << n;
    }
}

TEST(TemplateReader, OversizedCountsAndLengthsAreRejected)
{
    const std::string block = WriteTemplateBlock({Window({ClearButton()})});
    auto patched = [&](size_t at, uint32_t value) {
        std::string b = block;
        std::memcpy(b.data() + at, &value, 4);
        return b;
    };
    // Layout: L, id, slot, word1, word2, text1 length, text2 length, m, B, area.
    const std::string cases[] = {
        patched(0, 0x7ffffff8),  // index length past the end
        patched(0, 0xfffffff8),  // negative index length
        patched(20, 0x10000000), // first window text longer than the block
        patched(28, 0x7fffffff), // component count
        patched(28, 0xffffffff), // negative component count
        patched(32, 0x7fffffff), // component area length
        patched(44, 0x7fff0000), // a record offset outside the area
        patched(52, 0x7fffffff), // a record body length
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_FALSE(ReadTemplateBlock(Bytes(cases[i]), cases[i].size(), nullptr)) << i;
}

TEST(TemplateLookup, IdsWithASerialOrGroupOfZeroAreNeverFound)
{
    std::vector<WindowDescription> windows = {Window({ClearButton()})};
    windows[0].records[1].id = 0x16000000; // serial 0
    EXPECT_EQ(windows[0].find(0x16000000), nullptr);
    windows[0].records[1].id = 0x10010043; // bits 24-27 zero
    EXPECT_EQ(windows[0].find(0x10010043), nullptr);
    windows[0].records[1].id = 0x16010043;
    EXPECT_EQ(windows[0].indexOf(0x16010043), 1);
    EXPECT_EQ(windows[0].indexOf(0), -1);
    EXPECT_EQ(windows[0].indexOf(0, true), 0);
    EXPECT_NE(FindWindow(windows, 0x52010001), nullptr);
    EXPECT_EQ(FindWindow(windows, 0x50010001), nullptr);
    EXPECT_EQ(FindWindow(windows, 0x52000000), nullptr);
}

TEST(TemplateWriter, HighestSerialIsTheLargestComponentSerial)
{
    EXPECT_EQ(HighestSerial({Window({ClearButton()})}), 0x010043u);
}

} // namespace
} // namespace mt
