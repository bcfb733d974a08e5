#include "support/template_builder.h"

#include "components/kind_tables.h"
#include "components/property_archive.h"
#include "platform/text_codec.h"
#include "support/engine_runtime.h"

namespace mt::test {

WindowProperties PlainWindow()
{
    WindowProperties p;
    p.startPosition = 0;
    return p;
}

ComponentRecord WindowRecord(const WindowProperties& p, uint32_t state)
{
    ComponentRecord r;
    r.id = kWindowRecordId;
    r.kind = kKindCodeWindow;
    r.left = 50;
    r.top = 50;
    r.width = 528;
    r.height = 370;
    r.state = state;
    r.properties = p.write().data();
    return r;
}

ComponentRecord ButtonRecord(uint32_t id, const std::string& gbCaption, int32_t left, int32_t top,
                             int32_t buttonType, uint32_t state)
{
    ComponentRecord r;
    r.id = id;
    r.kind = kKindCodeButton;
    r.left = left;
    r.top = top;
    r.width = 77;
    r.height = 32;
    r.state = state;
    r.mousePointer = std::string(4, '\0');
    PropertyWriter w;
    w.u32(1);
    w.i32(buttonType);
    w.i32(1);
    w.i32(1);
    w.bytes("");
    w.bytes("");
    w.bytes(gbCaption);
    r.properties = w.data();
    return r;
}

ComponentRecord EditBoxRecord(uint32_t id, const EditBoxProperties& p, int32_t left, int32_t top, int32_t width,
                              int32_t height, uint32_t state)
{
    ComponentRecord r;
    r.id = id;
    r.kind = kKindCodeEditBox;
    r.left = left;
    r.top = top;
    r.width = width;
    r.height = height;
    r.state = state;
    r.properties = WriteEditBoxRecord(p).data();
    return r;
}

ComponentRecord TimerRecord(uint32_t id, int32_t interval, uint32_t state)
{
    ComponentRecord r;
    r.id = id;
    r.kind = kKindCodeTimer;
    r.width = r.height = 32;
    r.state = state;
    PropertyWriter w;
    w.u32(1);
    w.i32(interval);
    r.properties = w.data();
    return r;
}

void Bind(ComponentRecord& record, int32_t eventIndex, int slot)
{
    record.events.push_back({eventIndex, HandlerOffset(slot), nullptr});
}

WindowDescription Window(std::vector<ComponentRecord> records, uint32_t id)
{
    WindowDescription d;
    d.id = id;
    d.records = std::move(records);
    return d;
}

std::string Gb(const char* utf8)
{
    std::string gb;
    platform::Utf8ToGb(utf8, &gb);
    return gb;
}

} // namespace mt::test
