// The runtime libraries of the program image, in library-table order.
#include <array>
#include <cstddef>
#include <iterator>

#include "abi/library_interface.h"
#include "abi/service_calls.h"
#include "commands/bind_key_command.h"
#include "commands/box_notice_command.h"
#include "commands/case_support_command.h"
#include "commands/clipboard_command.h"
#include "commands/edit_box_option_command.h"
#include "commands/focus_command.h"
#include "commands/input_box_command.h"
#include "commands/mark_text_command.h"
#include "commands/message_box_command.h"
#include "commands/rule_diagnosis_command.h"
#include "commands/rule_suggestion_command.h"
#include "commands/text_commands.h"
#include "components/kind_tables.h"
#include "frame/frame_texts.h"
#include "net/address_history.h"
#include "net/encoding_conversion.h"
#include "net/http_batch.h"
#include "net/http_client.h"
#include "net/http_read.h"
#include "net/library_versions.h"

namespace mt {
namespace {

// Commands of facilities this program does not carry: they answer nothing.
void AbsentCommand(ValueRecord*, int32_t, ValueRecord*) {}

int32_t StoreServiceNotify(int32_t code, intptr_t a, intptr_t)
{
    if (code == kNotifyStartup) {
        svc::SetService(reinterpret_cast<RuntimeService>(a));
        return 0;
    }
    return -1;
}

// A command table whose positions are named: the table holds as many
// positions as are named, each named once, or it does not compile.
struct Placed {
    int32_t position;
    CommandRoutine routine;
};

template <size_t N>
constexpr std::array<CommandRoutine, N> PlacedCommands(const Placed (&placed)[N])
{
    std::array<CommandRoutine, N> table{};
    for (const Placed& p : placed) {
        if (p.position < 0 || static_cast<size_t>(p.position) >= N || table[static_cast<size_t>(p.position)])
            throw "a command position is named twice or lies outside the table";
        table[static_cast<size_t>(p.position)] = p.routine;
    }
    return table;
}

// The commands the tool calls, then our own (see CoreCommand).
constexpr auto kCoreCommands = PlacedCommands({
    {kCmdTextLength, 取文本长度},
    {kCmdToText, ToText},
    {kCmdSetClipboardText, SetClipboardText},
    {kCmdMessageBox, MessageBoxCommand},
    {kCmdFindText, 寻找文本},
    {kCmdMiddleText, 取文本中间},
    {kCmdSetComponentFocus, SetComponentFocus},
    {kCmdInputBox, InputBox},
    {kCmdToBytes, ToBytes},
    {kCmdMarkText, MarkText},
    {kCmdBindKey, BindKeyCommand},
    {kCmdSuggestRule, SuggestRuleCommand},
    {kCmdRuleDiagnosis, RuleDiagnosis},
    {kCmdBoxNotice, BoxNotice},
    {kCmdEditBoxOption, EditBoxOption},
    {kCmdCaseSupport, CaseSupport},
});
static_assert(kCoreCommands.size() == kCoreCommandCount);

// The internet library keeps one HTTP client for the whole run.
int32_t InternetNotify(int32_t code, intptr_t a, intptr_t b)
{
    if (code == kNotifyShutdown) {
        TheHttpBatch().release();
        ReleaseHttpClient();
        return 0;
    }
    return StoreServiceNotify(code, a, b);
}

// HttpRead, then our own (see InternetCommand).
constexpr auto kInternetCommands = PlacedCommands({
    {kNetRead, HttpRead},
    {kNetTransferReport, HttpTransferReport},
    {kNetTimeLimit, HttpTimeLimit},
    {kNetRequestOptions, HttpRequestOptions},
    {kNetProgress, HttpProgress},
    {kNetPageText, HttpPageText},
    {kNetBatchJobs, HttpBatchJobs},
    {kNetBatchAdd, HttpBatchAdd},
    {kNetBatchTake, HttpBatchTake},
    {kNetAddressHistory, HttpAddressHistory},
    {kNetLibraryVersions, HttpLibraryVersions},
    {kNetTransferBounds, HttpTransferBounds},
    {kNetBatchWait, HttpBatchWait},
});
static_assert(kInternetCommands.size() == kInternetCommandCount);
constexpr auto kEncodingCommands = PlacedCommands({{kEncConvert, ConvertEncoding}});
static_assert(kEncodingCommands.size() == kEncodingCommandCount);
const CommandRoutine kDataCommands[2] = {AbsentCommand, AbsentCommand};
const CommandRoutine kSystemUiCommands[1] = {AbsentCommand};

const LibraryRecord kCore = {
    .formatWord = kLibraryFormatWord,
    .identity = "d09f2340818511d396f6aaf844c7e325",
    .majorVersion = 5,
    .minorVersion = 0,
    .buildNumber = 64,
    .requiredSystemMajor = 3,
    .requiredCoreMajor = 3,
    .name = gb::kLibCore,
    .language = 1,
    .stateFlags = 0xC0000001,
    .kindCount = kCoreKindCount,
    .kinds = kCoreKinds,
    .commandCount = static_cast<int32_t>(kCoreCommands.size()),
    .commands = kCoreCommands.data(),
    .notify = StoreServiceNotify,
};
const LibraryRecord kUiExtension = {
    .formatWord = kLibraryFormatWord,
    .identity = "{9DA96BF9CEBD45c5BFCF94CBE61671F5}",
    .majorVersion = 2,
    .minorVersion = 0,
    .buildNumber = 2,
    .requiredSystemMajor = 3,
    .requiredCoreMajor = 3,
    .name = gb::kLibUiExtension,
    .language = 1,
    .kindCount = kUiExtensionKindCount,
    .kinds = kUiExtensionKinds,
    .notify = StoreServiceNotify,
};
const LibraryRecord kInternet = {
    .formatWord = kLibraryFormatWord,
    .identity = "707ca37322474f6ca841f0e224f4b620",
    .majorVersion = 2,
    .minorVersion = 0,
    .buildNumber = 0,
    .requiredSystemMajor = 3,
    .requiredCoreMajor = 3,
    .name = gb::kLibInternet,
    .language = 1,
    .commandCount = static_cast<int32_t>(kInternetCommands.size()),
    .commands = kInternetCommands.data(),
    .notify = InternetNotify,
};
const LibraryRecord kEncoding = {
    .formatWord = kLibraryFormatWord,
    .identity = "FFE6F8DB3A8D4a9b8B1A1D9D5B4C4E21",
    .majorVersion = 2,
    .minorVersion = 0,
    .buildNumber = 0,
    .requiredSystemMajor = 3,
    .requiredCoreMajor = 3,
    .name = gb::kLibEncoding,
    .language = 1,
    .stateFlags = 0xC0000000,
    .commandCount = static_cast<int32_t>(kEncodingCommands.size()),
    .commands = kEncodingCommands.data(),
    .notify = StoreServiceNotify,
};
const LibraryRecord kData = {
    .formatWord = kLibraryFormatWord,
    .identity = "4BB4003860154917BC7D8230BF4FA58A",
    .majorVersion = 2,
    .minorVersion = 0,
    .buildNumber = 50,
    .requiredSystemMajor = 3,
    .requiredCoreMajor = 3,
    .name = gb::kLibData,
    .language = 1,
    .stateFlags = 0xC0000000,
    .commandCount = static_cast<int32_t>(std::size(kDataCommands)),
    .commands = kDataCommands,
    .notify = StoreServiceNotify,
};
const LibraryRecord kSystemUi = {
    .formatWord = kLibraryFormatWord,
    .identity = "F7FC1AE45C5C4758AF03EF19F18A395D",
    .majorVersion = 3,
    .minorVersion = 0,
    .buildNumber = 0,
    .requiredSystemMajor = 3,
    .requiredCoreMajor = 3,
    .name = gb::kLibSystemUi,
    .language = 1,
    .commandCount = static_cast<int32_t>(std::size(kSystemUiCommands)),
    .commands = kSystemUiCommands,
    .notify = StoreServiceNotify,
};

} // namespace

extern const LibraryRecord* const kLibraryTable[6] = {&kCore, &kUiExtension, &kInternet, &kEncoding, &kData, &kSystemUi};

} // namespace mt
