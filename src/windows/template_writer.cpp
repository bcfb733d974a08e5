#include "windows/template_writer.h"

#include <cstring>

namespace mt {
namespace {

class ByteSink {
public:
    void u32(uint32_t v)
    {
        char b[4];
        std::memcpy(b, &v, 4);
        out_.append(b, 4);
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void raw(const std::string& s) { out_ += s; }
    void counted(const std::string& s)
    {
        u32(static_cast<uint32_t>(s.size()));
        raw(s);
    }
    void zeroTerminated(const std::string& s)
    {
        out_.append(s.c_str()); // stops at an embedded zero, as a reader would
        out_.push_back('\0');
    }
    std::string& str() { return out_; }

private:
    std::string out_;
};

void WriteMenuItem(ByteSink& s, const ComponentRecord& r)
{
    s.u32(r.menuWords[0]);
    s.u32(r.menuWords[1]);
    s.u32(r.menuState);
    s.zeroTerminated(r.menuCaption);
    s.i32(r.menuHandler.offset);
    s.raw(r.menuRest);
}

void WriteComponent(ByteSink& s, const ComponentRecord& r)
{
    s.u32(0); // object slot
    s.i32(r.left);
    s.i32(r.top);
    s.i32(r.width);
    s.i32(r.height);
    s.u32(0); // cursor slot
    s.u32(r.parent);
    s.u32(static_cast<uint32_t>(r.pages.size()));
    for (uint32_t p : r.pages)
        s.u32(p);
    s.counted(r.mousePointer);
    s.zeroTerminated(r.tag);
    s.u32(r.wordE);
    s.u32(r.state);
    s.u32(r.wordF);
    s.u32(static_cast<uint32_t>(r.events.size()));
    for (const auto& e : r.events) {
        s.i32(e.index);
        s.i32(e.offset);
    }
    for (uint32_t w : r.fiveWords)
        s.u32(w);
    s.raw(r.properties);
}

std::string WriteArea(const WindowDescription& w)
{
    std::vector<std::string> bodies;
    for (const auto& r : w.records)
        bodies.push_back(WriteComponentBody(r));
    ByteSink s;
    for (const auto& r : w.records)
        s.u32(r.id);
    uint32_t offset = 0;
    for (const auto& b : bodies) {
        s.u32(offset);
        offset += 4 + static_cast<uint32_t>(b.size());
    }
    for (const auto& b : bodies)
        s.counted(b);
    return std::move(s.str());
}

} // namespace

std::string WriteComponentBody(const ComponentRecord& r)
{
    ByteSink s;
    s.u32(r.kind);
    s.u32(r.sharedSource);
    for (uint32_t w : r.fourWords)
        s.u32(w);
    s.zeroTerminated(r.name);
    s.zeroTerminated(r.secondText);
    if (r.isMenuItem())
        WriteMenuItem(s, r);
    else
        WriteComponent(s, r);
    return std::move(s.str());
}

std::string WriteTemplateBlock(const std::vector<WindowDescription>& windows)
{
    ByteSink s;
    s.u32(static_cast<uint32_t>(8 * windows.size()));
    for (const auto& w : windows)
        s.u32(w.id);
    for (size_t k = 0; k < windows.size(); ++k)
        s.u32(0); // window slots
    for (const auto& w : windows) {
        s.u32(w.word1);
        s.u32(w.word2);
        s.counted(w.text1);
        s.counted(w.text2);
        s.u32(static_cast<uint32_t>(w.records.size()));
        s.counted(WriteArea(w));
    }
    return std::move(s.str());
}

uint32_t HighestSerial(const std::vector<WindowDescription>& windows)
{
    uint32_t highest = 0;
    for (const auto& w : windows) {
        for (const auto& r : w.records) {
            if (IdSerial(r.id) > highest)
                highest = IdSerial(r.id);
        }
    }
    return highest;
}

} // namespace mt
