#include "windows/template_reader.h"

#include "windows/byte_cursor.h"

namespace mt {
namespace {

const void* Relocate(const void* codeBase, int32_t offset)
{
    if (offset == -1)
        return nullptr;
    return reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(codeBase) + static_cast<intptr_t>(offset));
}

void ReadCommonHead(ByteCursor& c, ComponentRecord* r)
{
    r->kind = c.u32();
    r->sharedSource = c.u32();
    for (auto& w : r->fourWords)
        w = c.u32();
    r->name = c.zeroTerminated();
    r->secondText = c.zeroTerminated();
}

void ReadMenuItem(ByteCursor& c, const void* codeBase, ComponentRecord* r)
{
    r->menuWords[0] = c.u32();
    r->menuWords[1] = c.u32();
    r->menuState = c.u32();
    r->menuCaption = c.zeroTerminated();
    r->menuHandler.index = 0;
    r->menuHandler.offset = c.i32();
    r->menuHandler.handler = Relocate(codeBase, r->menuHandler.offset);
    r->menuRest = c.rest();
}

void ReadComponent(ByteCursor& c, const void* codeBase, ComponentRecord* r)
{
    c.u32(); // object slot: always empty in the block
    r->left = c.i32();
    r->top = c.i32();
    r->width = c.i32();
    r->height = c.i32();
    c.u32(); // cursor slot
    r->parent = c.u32();
    int32_t pages = c.i32();
    if (c.fits(pages, 4)) {
        r->pages.resize(static_cast<size_t>(pages));
        for (auto& p : r->pages)
            p = c.u32();
    }
    r->mousePointer = c.counted();
    r->tag = c.zeroTerminated();
    r->wordE = c.u32();
    r->state = c.u32();
    r->wordF = c.u32();
    int32_t events = c.i32();
    if (c.fits(events, 8)) {
        r->events.resize(static_cast<size_t>(events));
        for (auto& e : r->events) {
            e.index = c.i32();
            e.offset = c.i32();
            e.handler = Relocate(codeBase, e.offset);
        }
    }
    for (auto& w : r->fiveWords)
        w = c.u32();
    r->properties = c.rest();
}

bool ReadWindow(ByteCursor& c, uint32_t id, const void* codeBase, WindowDescription* w)
{
    w->id = id;
    w->word1 = c.u32();
    w->word2 = c.u32();
    w->text1 = c.counted();
    w->text2 = c.counted();
    int32_t m = c.i32();
    int32_t areaLength = c.i32();
    if (!c.fits(areaLength, 1))
        return false;
    const uint8_t* area = c.position();
    c.bytes(static_cast<size_t>(areaLength));
    if (!c.ok())
        return false;

    ByteCursor a(area, static_cast<size_t>(areaLength));
    if (!a.fits(m, 8))
        return false;
    w->records.resize(static_cast<size_t>(m));
    std::vector<uint32_t> offsets(static_cast<size_t>(m));
    for (auto& r : w->records)
        r.id = a.u32();
    for (auto& o : offsets)
        o = a.u32();
    const uint8_t* recordsBase = a.position();
    const size_t recordsSize = a.remaining();
    for (size_t k = 0; k < offsets.size(); ++k) {
        if (offsets[k] > recordsSize || recordsSize - offsets[k] < 4)
            return false;
        ByteCursor rc(recordsBase + offsets[k], recordsSize - offsets[k]);
        int32_t bodyLength = rc.i32();
        if (!rc.fits(bodyLength, 1))
            return false;
        if (!ReadComponentBody(w->records[k].id, rc.position(), static_cast<size_t>(bodyLength), codeBase,
                               &w->records[k]))
            return false;
    }
    return true;
}

} // namespace

bool ReadComponentBody(uint32_t id, const uint8_t* body, size_t size, const void* codeBase, ComponentRecord* out)
{
    ByteCursor c(body, size);
    out->id = id;
    ReadCommonHead(c, out);
    if (out->isMenuItem())
        ReadMenuItem(c, codeBase, out);
    else
        ReadComponent(c, codeBase, out);
    return c.ok();
}

std::optional<std::vector<WindowDescription>> ReadTemplateBlock(const uint8_t* block, size_t size,
                                                                const void* codeBase)
{
    ByteCursor c(block, size);
    int32_t indexLength = c.i32();
    if (!c.fits(indexLength, 1))
        return std::nullopt;
    const size_t n = static_cast<size_t>(indexLength) / 8;
    std::vector<uint32_t> ids(n);
    for (auto& id : ids)
        id = c.u32();
    c.bytes(static_cast<size_t>(indexLength) - 4 * n); // the slots and any remainder
    if (!c.ok())
        return std::nullopt;

    std::vector<WindowDescription> windows(n);
    for (size_t k = 0; k < n; ++k) {
        if (!ReadWindow(c, ids[k], codeBase, &windows[k]))
            return std::nullopt;
    }
    return windows;
}

} // namespace mt
