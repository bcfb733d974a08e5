// Writes seed property records for the fuzzer, as the kinds' own writers
// produce them: defaults and filled-in records of the window, the edit box
// (also as versions 0 and 1), the button and the timer.
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "components/button_properties.h"
#include "components/edit_box_properties.h"
#include "components/timer_properties.h"
#include "components/window_properties.h"

namespace {

mt::EditBoxProperties FilledEditBox()
{
    mt::EditBoxProperties p;
    p.content = "left \xD6\xD0\xBC\xE4 right";
    p.font = std::string(60, '\0');
    p.multiLine = true;
    p.inputMode = 11;
    p.spinButton = 1;
    p.selStart = 2;
    p.selLength = 3;
    p.dataSource = "s";
    p.dataColumn = "c";
    return p;
}

// The edit box record of an older version: no data binding texts.
std::string OlderEditBox(uint32_t version)
{
    mt::EditBoxProperties p = FilledEditBox();
    p.dataSource.clear();
    p.dataColumn.clear();
    std::string r = mt::WriteEditBoxRecord(p).data();
    r.resize(r.size() - 8);
    std::memcpy(r.data(), &version, 4);
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const std::string dir = argv[1];
    mt::WindowProperties window;
    window.caption = "w";
    window.icon = std::string(16, '\x01');
    mt::ButtonProperties button;
    button.picture = "pic";
    button.font = std::string(60, '\0');
    const std::vector<std::string> seeds = {
        mt::WindowProperties{}.write().data(),
        window.write().data(),
        mt::WriteEditBoxRecord(mt::EditBoxProperties{}).data(),
        mt::WriteEditBoxRecord(FilledEditBox()).data(),
        OlderEditBox(0),
        OlderEditBox(1),
        mt::ButtonProperties{}.write().data(),
        button.write().data(),
        mt::WriteTimerRecord(1000).data(),
    };
    for (size_t i = 0; i < seeds.size(); ++i)
        std::ofstream(dir + "/seed" + std::to_string(i), std::ios::binary) << seeds[i];
    return 0;
}
