#include "commands/rule_diagnosis_command.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "abi/service_calls.h"
#include "abi/text_value.h"
#include "commands/component_box.h"
#include "commands/dialog_args.h"
#include "commands/rule_diagnosis.h"
#include "platform/edit_control.h"
#include "platform/heap_tuning.h"
#include "platform/live_results.h"

namespace mt {
namespace {

// A text argument; a long text read from a big box comes with its length.
std::string_view TextArgument(const ValueRecord& v)
{
    if (v.type != kTypeText)
        return {};
    const char* t = AsPointer<const char>(v);
    if (const size_t n = t ? platform::KnownTextLength(t) : platform::kUnknownTextLength;
        n != platform::kUnknownTextLength)
        return {t, n};
    return TextView(t);
}

void SetInt(const ValueRecord& variable, int64_t value)
{
    const auto v = static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
    if (variable.type == kTypeInt && AsPointer(variable))
        std::memcpy(AsPointer(variable), &v, sizeof v);
}

void SetText(const ValueRecord& variable, std::string_view text)
{
    if (variable.type != kTypeText || !AsPointer(variable))
        return;
    auto** slot = AsPointer<char*>(variable);
    svc::Free(*slot);
    *slot = NewText(text);
}

// The setting of results while typing, and its switch in a box's menu.
void LiveResults(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    const ValueRecord label = dialog::Arg(argc, args, 1);
    if (label.type == kTypeText) {
        if (platform::EditControl* edit = MultiLineBoxOf(dialog::Arg(argc, args, 0)))
            edit->addMenuSwitch(TextArgument(label), platform::LiveResultsOn, platform::SetLiveResultsOn);
    }
    *result = MakeBool(platform::LiveResultsOn());
}

} // namespace

void RuleDiagnosis(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    using dialog::Arg;
    const uint32_t first = Arg(argc, args, 0).type;
    if (first != kTypeText && first != kTypeNone && !IsBasicType(first))
        return LiveResults(result, argc, args);
    const ValueRecord flag = Arg(argc, args, 3);
    const bool ignoreCase = dialog::Given(flag) && Low32(flag) == 1;
    const Diagnosis d = DiagnoseRule(TextArgument(Arg(argc, args, 0)), TextArgument(Arg(argc, args, 1)),
                                     TextArgument(Arg(argc, args, 2)), ignoreCase);
    *result = MakeInt(static_cast<int32_t>(d.code));
    if (d.code == DiagnosisCode::kNone)
        return;
    SetInt(Arg(argc, args, 4), static_cast<int32_t>(d.side));
    SetInt(Arg(argc, args, 5), d.offset < 0 ? 0 : d.offset + 1);
    SetInt(Arg(argc, args, 6), static_cast<int64_t>(d.length));
    SetText(Arg(argc, args, 7), DiagnosisSentence(d));
}

} // namespace mt
