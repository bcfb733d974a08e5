// Writes seed template blocks for the fuzzer: blocks the writer produces for
// a few window shapes (no windows, an empty window, buttons with handlers,
// a menu item, pages and a cursor).
#include <fstream>
#include <string>
#include <vector>

#include "windows/template_writer.h"

namespace {

mt::ComponentRecord Component(uint32_t id, uint32_t kind, int events)
{
    mt::ComponentRecord r;
    r.id = id;
    r.kind = kind;
    r.name = "c";
    r.left = 1;
    r.top = 2;
    r.width = 30;
    r.height = 40;
    r.mousePointer = std::string("\x03\0\0\0", 4);
    r.tag = "tag";
    r.state = 0x15;
    for (int i = 0; i < events; ++i)
        r.events.push_back({-i, i == 1 ? -1 : 8 * i, nullptr});
    r.properties = std::string("\x01\0\0\0\x02\0\0\0\0\0\0\0", 12);
    return r;
}

mt::WindowDescription Window(std::vector<mt::ComponentRecord> components)
{
    mt::WindowDescription w;
    w.id = 0x52010001;
    w.word1 = 1;
    w.text1 = "t";
    w.records.push_back(Component(0x06010000, 0x00010001, 1));
    for (auto& c : components)
        w.records.push_back(c);
    return w;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const std::string dir = argv[1];
    mt::ComponentRecord menu;
    menu.id = 0x26010009;
    menu.kind = mt::kMenuItemKind;
    menu.menuCaption = "m";
    menu.menuHandler.offset = 0;
    mt::ComponentRecord paged = Component(0x16010007, 0x00010006, 0);
    paged.pages = {0x16010002, 0, 0x16010003, 0};
    const std::vector<std::vector<mt::WindowDescription>> seeds = {
        {},
        {Window({})},
        {Window({Component(0x16010002, 0x0001000B, 2), Component(0x16010003, 0x00010005, 3)})},
        {Window({menu, paged}), Window({})},
    };
    for (size_t i = 0; i < seeds.size(); ++i)
        std::ofstream(dir + "/seed" + std::to_string(i), std::ios::binary) << mt::WriteTemplateBlock(seeds[i]);
    return 0;
}
