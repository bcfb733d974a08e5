// A rule made from the selection in the big box, on the real window: F4,
// the context menu's entry, and the message when there is no pair.
#include "tool_window.h"

#include <tuple>

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>

#include "platform/edit_control.h"
#include "platform/native_window.h"

namespace mt::test {
namespace {

using namespace app::id;

constexpr int32_t kContent = 8, kTextColor = 10, kCaption = 10;
constexpr int32_t kF4 = 0x73;
const std::string kRow = R"(<tr><td class="name">A</td><td class="price">12.50</td></tr>)";

using Mark = std::tuple<size_t, size_t, platform::MarkTint>;

class Suggestion : public ToolWindow {
protected:
    platform::EditControl* Big() const { return platform::EditControlOf(Handle(编辑框被查找文本)); }

    // The big box holds the text with `selected` (its first occurrence, UTF-8)
    // selected and the focus.
    void Select(const std::string& text, const std::string& selected)
    {
        Click(编辑框被查找文本);
        SetText(编辑框被查找文本, kContent, text);
        const std::string gb = Gb(text);
        const size_t at = gb.find(Gb(selected));
        ASSERT_NE(at, std::string::npos);
        Big()->select(static_cast<int64_t>(at), static_cast<int64_t>(Gb(selected).size()));
    }

    std::vector<Mark> Marks() const
    {
        std::vector<Mark> out;
        const platform::TextMarks* marks = Big()->marks();
        for (const auto& m : marks ? marks->marks : std::vector<platform::TextMark>{})
            out.emplace_back(m.start, m.length, m.tint);
        return out;
    }

    // Opens the big box's context menu and picks the entry whose text begins
    // with `label`; false when it is not there or disabled.
    bool PickFromMenu(const QString& label)
    {
        auto* view = static_cast<QAbstractScrollArea*>(platform::ToWidget(Handle(编辑框被查找文本)));
        bool picked = false;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            QAction* entry = nullptr;
            for (QAction* a : menu->actions()) {
                if (a->text().startsWith(label))
                    entry = a;
            }
            menu->close();
            if (entry && entry->isEnabled()) {
                picked = true;
                entry->trigger();
            }
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), view->viewport()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(view->viewport(), &event);
        return picked;
    }
};

TEST_F(Suggestion, F4FillsTheBoxesAndMarksTheRule)
{
    SetText(编辑框左边, kContent, "old");
    SetText(按钮找中间文本, kCaption, "向下查找");
    Select(kRow, "12.50");
    PressKey(kF4);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Text(编辑框左边, kContent), "price\">");
    EXPECT_EQ(Text(编辑框右边, kContent), "<");
    EXPECT_EQ(Text(编辑框中间, kContent), "12.50");
    for (uint32_t box : {编辑框左边, 编辑框右边, 编辑框中间})
        EXPECT_EQ(Int(box, kTextColor), 0) << "black, not a prompt";
    EXPECT_EQ(Text(按钮找中间文本, kCaption), "找中间文本");
    const size_t at = kRow.find("12.50");
    EXPECT_EQ(Marks(), (std::vector<Mark>{{at - 7, 7, platform::MarkTint::kLeft},
                                          {at, 5, platform::MarkTint::kMiddle},
                                          {at + 5, 1, platform::MarkTint::kRight}}));
    // The pair is a rule: extracting with it gives the selection again.
    Click(按钮提取);
    EXPECT_EQ(Text(编辑框中间, kContent), "12.50");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Suggestion, WholeCharactersOfAChineseText)
{
    Select("价格：12元。\n价格：34元。\n", "34");
    PressKey(kF4);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Text(编辑框左边, kContent), "\n价格：");
    EXPECT_EQ(Text(编辑框右边, kContent), "元。");
    EXPECT_EQ(Text(编辑框中间, kContent), "34");
}

TEST_F(Suggestion, TheMenuEntryDoesWhatF4Does)
{
    Select(kRow, "A");
    EXPECT_TRUE(PickFromMenu(QString::fromUtf8("以选中内容为中间文本")));
    EXPECT_EQ(Text(编辑框左边, kContent), "\">");
    EXPECT_EQ(Text(编辑框中间, kContent), "A");
    Big()->select(0, 0);
    EXPECT_FALSE(PickFromMenu(QString::fromUtf8("以选中内容为中间文本"))) << "disabled without a selection";
}

TEST_F(Suggestion, NoPairIsAMessageAndTheBoxesStay)
{
    SetText(编辑框左边, kContent, "L");
    SetText(编辑框右边, kContent, "R");
    SetText(编辑框中间, kContent, "M");
    struct Case {
        const char* text;
        const char* selected;
        const char* reason;
    } cases[] = {
        {"abc", "ab", "选中内容从文本的最开头开始，它前面没有可用作左边文本的内容。"},
        {"abc", "bc", "选中内容一直到文本的最末尾，它后面没有可用作右边文本的内容。"},
        {"abc", "", "没有选中内容：请先在被查找文本中选中要取出的中间文本。"},
    };
    for (const Case& c : cases) {
        Select(c.text, c.selected);
        PressKey(kF4);
    }
    const auto shown = Messages();
    ASSERT_EQ(shown.size(), std::size(cases));
    for (size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].text, cases[i].reason);
        EXPECT_EQ(shown[i].flags & 0xFFF, 48u);
        EXPECT_EQ(shown[i].caption, "以选中内容为中间文本");
    }
    EXPECT_EQ(Text(编辑框左边, kContent), "L");
    EXPECT_EQ(Text(编辑框右边, kContent), "R");
    EXPECT_EQ(Text(编辑框中间, kContent), "M");
}

TEST_F(Suggestion, OnlyF4WithoutModifiersAndOnlyInTheBigBox)
{
    Select(kRow, "12.50");
    PressKey(kF4, 2); // Shift+F4
    Click(编辑框左边);
    PressKey(kF4);
    EXPECT_NE(Text(编辑框中间, kContent), "12.50");
    EXPECT_TRUE(Messages().empty());
}

} // namespace
} // namespace mt::test
