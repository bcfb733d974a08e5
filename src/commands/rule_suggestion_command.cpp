#include "commands/rule_suggestion_command.h"

#include <string>
#include <string_view>
#include <vector>

#include "abi/service_calls.h"
#include "abi/text_value.h"
#include "commands/component_box.h"
#include "commands/dialog_args.h"
#include "commands/rule_suggestion.h"
#include "platform/edit_control.h"

namespace mt {
namespace {

void PutWord(std::string* out, uint32_t word)
{
    for (int k = 0; k < 4; ++k)
        out->push_back(static_cast<char>(word >> (8 * k)));
}

void PutText(std::string* out, std::string_view text)
{
    PutWord(out, static_cast<uint32_t>(text.size()));
    out->append(text);
}

// The examples the groups of three arguments describe.
std::vector<SuggestionExample> Examples(int32_t argc, const ValueRecord* args)
{
    std::vector<SuggestionExample> examples;
    if (argc <= 0 || argc % 3 != 0)
        return {SuggestionExample{}}; // an empty selection
    for (int32_t i = 0; i < argc; i += 3) {
        SuggestionExample e;
        const ValueRecord page = dialog::Arg(argc, args, i);
        const ValueRecord second = dialog::Arg(argc, args, i + 1);
        const ValueRecord third = dialog::Arg(argc, args, i + 2);
        e.page = dialog::TextArg(page);
        if (second.type == kTypeText && !dialog::Given(third)) {
            e.byText = true;
            e.wanted = dialog::TextArg(second);
        } else if (page.type == kTypeText && second.type == kTypeInt && third.type == kTypeInt && AsInt32(second) >= 1 &&
                   AsInt32(third) >= 0) {
            e.start = static_cast<size_t>(AsInt32(second) - 1);
            e.length = static_cast<size_t>(AsInt32(third));
        }
        examples.push_back(e);
    }
    return examples;
}

// The entry in a box's context menu that presses the key the program
// answers with a suggestion.
void OfferInMenu(int32_t argc, const ValueRecord* args)
{
    platform::EditControl* edit = MultiLineBoxOf(dialog::Arg(argc, args, 0));
    if (edit)
        edit->addMenuKey(dialog::TextArg(dialog::Arg(argc, args, 2)), AsInt32(dialog::Arg(argc, args, 1)));
}

} // namespace

void SuggestRuleCommand(ValueRecord* result, int32_t argc, ValueRecord* args)
{
    const uint32_t first = dialog::Arg(argc, args, 0).type;
    if (first != kTypeText && first != kTypeNone && !IsBasicType(first)) {
        OfferInMenu(argc, args);
        return;
    }
    const std::vector<SuggestionExample> examples = Examples(argc, args);
    const RuleSuggestion s = SuggestRule(examples);
    std::string bytes;
    PutWord(&bytes, s.found ? 1 : 0);
    PutWord(&bytes, s.found ? 0 : static_cast<uint32_t>(s.example + 1));
    PutText(&bytes, s.found ? s.left : SuggestionCode(s.failure));
    PutText(&bytes, s.found ? s.right : SuggestionReason(s, examples.size()));
    *result = MakePointer(NewByteArray(bytes.data(), bytes.size()), kTypeBytes);
}

} // namespace mt
