#include "commands/input_box_command.h"

#include <algorithm>
#include <cstring>

#include "abi/text_value.h"
#include "commands/dialog_args.h"
#include "commands/leading_number.h"
#include "platform/input_dialog.h"

namespace mt {
namespace {

using dialog::Arg;
using dialog::Given;
using dialog::TextArg;

template <typename T>
void Store(void* address, T value)
{
    std::memcpy(address, &value, sizeof value);
}

} // namespace

void StoreInputInto(const ValueRecord& variable, std::string_view text)
{
    void* address = AsPointer(variable);
    if (!address)
        return;
    switch (variable.type) {
    case kTypeText: {
        char* old;
        std::memcpy(&old, address, sizeof old);
        if (old)
            svc::Free(old);
        Store(address, NewText(text));
        break;
    }
    case kTypeByte: Store(address, static_cast<uint8_t>(LeadingInteger(text))); break;
    case kTypeShort: Store(address, static_cast<int16_t>(LeadingInteger(text))); break;
    case kTypeInt: Store(address, static_cast<int32_t>(LeadingInteger(text))); break;
    case kTypeLong: Store(address, LeadingInteger(text)); break;
    case kTypeFloat: Store(address, static_cast<float>(LeadingNumber(text))); break;
    case kTypeDouble: Store(address, LeadingNumber(text)); break;
    default: break;
    }
}

void InputBox(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    platform::InputDialogRequest request;
    request.prompt = TextArg(Arg(argc, args, 0));
    request.title = TextArg(Arg(argc, args, 1));
    request.initial = TextArg(Arg(argc, args, 2));
    const ValueRecord mode = Arg(argc, args, 4);
    request.mode = Given(mode) ? std::clamp(AsInt32(mode), 1, 4) : 1;
    const platform::InputDialogAnswer answer = platform::ShowInputDialog(request);
    if (answer.ok)
        StoreInputInto(Arg(argc, args, 3), answer.text);
    *result = MakeBool(answer.ok);
}

} // namespace mt
