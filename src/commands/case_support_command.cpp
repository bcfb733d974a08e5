#include "commands/case_support_command.h"

#include <string>
#include <vector>

#include "abi/service_calls.h"
#include "commands/dialog_args.h"
#include "platform/case_dialogs.h"
#include "platform/edit_control.h"

namespace mt {
namespace {

using dialog::Arg;
using dialog::Given;
using dialog::TextArg;

ValueRecord TextResult(std::string_view text) { return MakePointer(NewText(text), kTypeText); }

std::vector<std::string> Rows(std::string_view rows)
{
    std::vector<std::string> out;
    while (!rows.empty()) {
        const size_t end = rows.find('\n');
        out.emplace_back(rows.substr(0, end));
        rows.remove_prefix(end == std::string_view::npos ? rows.size() : end + 1);
    }
    return out;
}

void AddMenuShortcut(int32_t argc, ValueRecord* args)
{
    const ValueRecord component = Arg(argc, args, 1);
    const int64_t object = svc::Call(kSvcFindComponentOrFail, Low32(component), High32(component));
    if (!object)
        return;
    const int64_t window = svc::Call(kSvcComponentHandle, static_cast<intptr_t>(object));
    platform::EditControl* edit =
        platform::EditControlOf(reinterpret_cast<platform::WindowHandle>(static_cast<intptr_t>(window)));
    const ValueRecord key = Arg(argc, args, 3), state = Arg(argc, args, 4);
    if (edit && edit->isMultiLine() && key.type == kTypeInt)
        edit->addMenuShortcut(TextArg(Arg(argc, args, 2)), AsInt32(key), state.type == kTypeInt ? AsInt32(state) : 0);
}

} // namespace

void CaseSupport(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    const ValueRecord what = Arg(argc, args, 0);
    if (what.type != kTypeInt)
        return;
    switch (AsInt32(what)) {
    case kCaseAskFile: {
        const ValueRecord save = Arg(argc, args, 1);
        platform::FileDialogRequest request;
        request.save = Given(save) && AsInt32(save) != 0;
        request.title = TextArg(Arg(argc, args, 2));
        request.directory = TextArg(Arg(argc, args, 3));
        request.filter = TextArg(Arg(argc, args, 4));
        const platform::FileDialogAnswer answer = platform::AskForFile(request);
        *result = TextResult(answer.ok ? answer.path : std::string());
        break;
    }
    case kCasePickList: {
        platform::PickListRequest request{std::string(TextArg(Arg(argc, args, 1))),
                                          std::string(TextArg(Arg(argc, args, 2))), Rows(TextArg(Arg(argc, args, 3)))};
        *result = MakeInt(platform::PickFromList(request));
        break;
    }
    case kCaseSha256: *result = TextResult(platform::Sha256Hex(TextArg(Arg(argc, args, 1)))); break;
    case kCaseFileSetting:
        if (Arg(argc, args, 1).type == kTypeText)
            platform::RememberCaseFile(TextArg(Arg(argc, args, 1)));
        else
            *result = TextResult(platform::RememberedCaseFile());
        break;
    case kCaseMenuShortcut: AddMenuShortcut(argc, args); break;
    }
}

} // namespace mt
