// The one door from application code into the runtime: thirteen operations
// in a fixed slot order, the call gate's shapes and the handler shape.
// Application code includes this header and its own generated ids and
// literals, nothing else of the runtime.
#pragma once

#include <cstddef>
#include <cstdint>

#include "abi/value_record.h"

namespace mt {

// A library command: writes its answer into *result (zeroed by the gate) from
// argc records starting at args. Omitted arguments have type code 0.
using CommandRoutine = void (*)(ValueRecord* result, int32_t argc, ValueRecord* args);

// What an event handler receives: the event's arguments and a place for a
// value to return. The tool's handlers ignore both.
struct EventCall {
    int32_t argc = 0;
    ValueRecord args[12] = {};
    bool hasResult = false;
    int64_t result = 0;
};
using EventHandler = void (*)(EventCall* call);

// Font sub-field that names a whole property (everything except single font
// fields).
inline constexpr int32_t kWholeProperty = -1;

struct RuntimeEntryTable {
    void (*reportError)(int32_t code);                                                               // 0, never returns
    void* (*callDllCommand)(int32_t index);                                                          // 1, resolves; caller calls
    ValueRecord (*callLibraryCommand)(CommandRoutine, int32_t argc, ValueRecord* args);              // 2
    ValueRecord (*callCoreCommand)(CommandRoutine, int32_t argc, ValueRecord* args);                 // 3
    uint64_t (*readProperty)(uint32_t window, uint32_t component, int32_t index, int32_t fontField); // 4
    void (*writeProperty)(uint32_t window, uint32_t component, int32_t index, int32_t fontField,
                          uint32_t low, uint32_t high);                                          // 5
    void* (*allocate)(size_t bytes);                                                             // 6
    void* (*reallocate)(void* block, size_t bytes);                                              // 7
    void (*free)(void* block);                                                                   // 8
    void (*exit)(int32_t code);                                                                  // 9, never returns
    void (*messageLoop)();                                                                       // 10
    void (*loadStartupWindow)(uint32_t window);                                                  // 11
    intptr_t (*auxiliaryCall)(int32_t code, uintptr_t a, uintptr_t b, uintptr_t c, uintptr_t d); // 12
};

const RuntimeEntryTable& Runtime();

// Calls DLL command `index` with the caller's own arguments. Slot 1 hands
// the routine back and the caller calls it; on x86-64, where arguments travel
// in registers, that is what jumping to it with the arguments in place does.
template <typename Result, typename... Args>
Result CallDllCommand(int32_t index, Args... args)
{
    return reinterpret_cast<Result (*)(Args...)>(Runtime().callDllCommand(index))(args...);
}

// The routine at position `command` of the CommandTable of library `library`
// (0-based library index as in the program header), or null.
CommandRoutine CommandAddress(int32_t library, int32_t command);

// Library indices of the image.
enum LibraryIndex : int32_t {
    kCoreLibrary = 0,
    kUiExtensionLibrary = 1,
    kInternetLibrary = 2,
    kEncodingLibrary = 3,
    kDataLibrary = 4,
    kSystemUiLibrary = 5,
};

// Core command numbers (positions in the core library's CommandTable).
enum CoreCommand : int32_t {
    kCmdTextLength = 0, // 取文本长度
    kCmdToText = 1,     // ToText
    kCmdSetClipboardText = 2,
    kCmdMessageBox = 3,
    kCmdFindText = 4,   // 寻找文本
    kCmdMiddleText = 5, // 取文本中间
    kCmdSetComponentFocus = 6,
    kCmdInputBox = 7,
    kCmdToBytes = 8,
    kCmdMarkText = 9,       // our own: marks in a multi-line edit box
    kCmdBindKey = 10,       // our own: a key that clicks a component
    kCmdSuggestRule = 11,   // our own: a rule made from selected examples
    kCmdRuleDiagnosis = 12, // our own: why a rule fails
    kCmdBoxNotice = 13,     // our own: a one-line notice over a multi-line edit box
    kCmdEditBoxOption = 14, // our own: an edit box's focus cause and line-break source
    kCmdCaseSupport = 15,   // our own: file dialog, pick-list and hash for saved cases
    kCoreCommandCount = 16,
};

// Internet library command numbers (positions in its CommandTable). Only the
// first is the library's published command; the rest are our own.
enum InternetCommand : int32_t {
    kNetRead = 0,             // HttpRead: a page's bytes
    kNetTransferReport = 1,   // the report on the last transfer
    kNetTimeLimit = 2,        // the time limit of later transfers
    kNetRequestOptions = 3,   // the command line's request options
    kNetProgress = 4,         // the running transfer's progress
    kNetPageText = 5,         // a page's bytes decoded into GB18030
    kNetBatchJobs = 6,        // the batch: how many transfers at once
    kNetBatchAdd = 7,         // the batch: ask for a page under a ticket
    kNetBatchTake = 8,        // the batch: take the page under a ticket
    kNetAddressHistory = 9,   // the addresses read lately
    kNetLibraryVersions = 10, // the versions of the libraries pages are read with
    kNetTransferBounds = 11,  // the bounds of later transfers
    kNetBatchWait = 12,       // the batch: run until a ticket's page has ended
    kInternetCommandCount = 13,
};

// Encoding library command numbers.
enum EncodingCommand : int32_t {
    kEncConvert = 0, // a byte array from one encoding into another
    kEncodingCommandCount = 1,
};

// Split a 64-bit value into the two words the write-property slot takes.
constexpr uint32_t LowWord(uint64_t v) { return static_cast<uint32_t>(v); }
constexpr uint32_t HighWord(uint64_t v) { return static_cast<uint32_t>(v >> 32); }

} // namespace mt
