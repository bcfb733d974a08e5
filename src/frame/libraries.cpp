// The runtime libraries of the program image, in library-table order.
#include <cstddef>
#include <iterator>

#include "components/kind_tables.h"
#include "abi/library_interface.h"
#include "abi/service_calls.h"
#include "frame/frame_texts.h"
#include "commands/bind_key_command.h"
#include "commands/clipboard_command.h"
#include "commands/edit_box_option_command.h"
#include "commands/focus_command.h"
#include "commands/input_box_command.h"
#include "commands/box_notice_command.h"
#include "commands/case_support_command.h"
#include "commands/mark_text_command.h"
#include "commands/rule_diagnosis_command.h"
#include "commands/message_box_command.h"
#include "commands/rule_suggestion_command.h"
#include "commands/text_commands.h"
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

// Positions 0-8 are the commands the tool calls, then our own: 9 the marks
// in the big text box, 10 keys bound to buttons, 11 a rule made from examples,
// 12 why a rule fails, 13 the big box's notice, 14 an edit box's focus cause and
// line-break source, 15 the file dialog, pick-list and hash of saved cases.
const CommandRoutine kCoreCommands[16] = {
    取文本长度, ToText, SetClipboardText, MessageBoxCommand, 寻找文本, 取文本中间, SetComponentFocus, InputBox,
    ToBytes, MarkText, BindKeyCommand, SuggestRuleCommand, RuleDiagnosis, BoxNotice, EditBoxOption, CaseSupport,
};
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

// HttpRead, then our own: the report on the last transfer, the time limit
// of transfers, the command line's request options and the progress of the
// running transfer, the decoding of a page's bytes, the batch of transfers
// at once (how many, ask for a page, take one), the addresses read lately,
// the versions of the libraries pages are read with, the bounds of transfers
// and the batch's wait.
const CommandRoutine kInternetCommands[13] = {HttpRead,      HttpTransferReport, HttpTimeLimit, HttpRequestOptions,
                                              HttpProgress,  HttpPageText,       HttpBatchJobs, HttpBatchAdd,
                                              HttpBatchTake, HttpAddressHistory,
                                              HttpLibraryVersions, HttpTransferBounds, HttpBatchWait};
const CommandRoutine kEncodingCommands[1] = {ConvertEncoding};
const CommandRoutine kDataCommands[2] = {AbsentCommand, AbsentCommand};
const CommandRoutine kSystemUiCommands[1] = {AbsentCommand};

constexpr LibraryRecord Library(const char* identity, int32_t major, int32_t minor, int32_t build, const char* name,
                                uint32_t flags, int32_t kindCount, const ComponentKind* kinds, int32_t commandCount,
                                const CommandRoutine* commands, LibraryNotifyRoutine notify)
{
    return LibraryRecord{kLibraryFormatWord, identity, major, minor, build, 3, 0, 3, 0, name, 1, nullptr, flags,
                         nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         kindCount, kinds, 0, nullptr, commandCount, nullptr, commands, nullptr, nullptr,
                         notify, nullptr, nullptr, 0, nullptr, nullptr};
}

const LibraryRecord kCore = Library("d09f2340818511d396f6aaf844c7e325", 5, 0, 64, gb::kLibCore, 0xC0000001,
                                    kCoreKindCount, kCoreKinds, 16, kCoreCommands, StoreServiceNotify);
const LibraryRecord kUiExtension = Library("{9DA96BF9CEBD45c5BFCF94CBE61671F5}", 2, 0, 2, gb::kLibUiExtension, 0,
                                           kUiExtensionKindCount, kUiExtensionKinds, 0, nullptr, StoreServiceNotify);
const LibraryRecord kInternet = Library("707ca37322474f6ca841f0e224f4b620", 2, 0, 0, gb::kLibInternet, 0,
                                        0, nullptr, static_cast<int32_t>(std::size(kInternetCommands)),
                                        kInternetCommands, InternetNotify);
const LibraryRecord kEncoding = Library("FFE6F8DB3A8D4a9b8B1A1D9D5B4C4E21", 2, 0, 0, gb::kLibEncoding, 0xC0000000,
                                        0, nullptr, 1, kEncodingCommands, StoreServiceNotify);
const LibraryRecord kData = Library("4BB4003860154917BC7D8230BF4FA58A", 2, 0, 50, gb::kLibData, 0xC0000000,
                                    0, nullptr, 2, kDataCommands, StoreServiceNotify);
const LibraryRecord kSystemUi = Library("F7FC1AE45C5C4758AF03EF19F18A395D", 3, 0, 0, gb::kLibSystemUi, 0,
                                        0, nullptr, 1, kSystemUiCommands, StoreServiceNotify);

} // namespace

extern const LibraryRecord* const kLibraryTable[6] = {&kCore, &kUiExtension, &kInternet, &kEncoding, &kData, &kSystemUi};

} // namespace mt
