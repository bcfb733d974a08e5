// Plain declarations shared by the runtime and its libraries: the runtime's
// service entry and its codes, the library notification entry, and the
// image tables (library records, kind tables, property descriptors).
// This header holds no code; every folder may include it.
#pragma once

#include <cstdint>

#include "abi/runtime_entry_table.h"

namespace mt {

// The runtime's single entry for libraries: (code, a, b) -> 64-bit value.
using RuntimeService = int64_t (*)(int32_t code, intptr_t a, intptr_t b);

// A library's notification entry: code 1 at start-up (a = RuntimeService),
// code 6 at shutdown (a = the library's per-library word).
using LibraryNotifyRoutine = int32_t (*)(int32_t code, intptr_t a, intptr_t b);

enum ServiceCode : int32_t {
    kSvcDefaultIcons = 1000,
    kSvcLoadedWindowList = 1001,
    kSvcKindByCode = 1002,
    kSvcReturnsOne = 1004,
    kSvcReturnsFive = 1005,
    kSvcDestroyObject = 1008,
    kSvcComponentHandle = 1010,
    kSvcAddIdleCallback = 1012,
    kSvcRemoveIdleCallback = 1013,
    kSvcComponentDestroyed = 2000,
    kSvcValueToInt32 = 2001,
    kSvcProgramDirectory = 2003,
    kSvcProgramFileName = 2004,
    kSvcFindComponent = 2006,
    kSvcFindComponentOrFail = 2007,
    kSvcRaiseEvent = 2008,
    kSvcBlockEvents = 2009,
    kSvcUnblockEvents = 2010,
    kSvcCurrentEventSource = 2017,
    kSvcFreeArray = 2023,
    kSvcAllocate = 2024,
    kSvcFree = 2025,
    kSvcReallocate = 2026,
    kSvcRuntimeError = 2027,
    kSvcExit = 2028,
    kSvcProgramMode = 2030,
    kSvcRaiseTypedEvent = 2031,
    kSvcLoadedWindowCount = 2032,
    kSvcWindowIsLive = 2033,
};

enum LibraryNotifyCode : int32_t {
    kNotifyStartup = 1,
    kNotifyShutdown = 6,
};

// A kind's routines are handed out by number through its KindInterface; the
// caller casts to the routine's own signature (see components/).
using KindRoutine = void (*)();
using KindInterface = KindRoutine (*)(int32_t number);

// One entry of a kind's property table.
struct PropertyDescriptor {
    const char* name;
    const char* englishName;
    const char* description;
    uint32_t typeAndFlags; // PropertyType in the low 16 bits, flags in the high 16
    const void* choices;
};

constexpr uint16_t PropertyTypeOf(const PropertyDescriptor& d) { return static_cast<uint16_t>(d.typeAndFlags); }

// One entry of a library's kind table (fourteen fields, each starting at
// zero). Unused kinds keep their position as all-zero entries.
struct ComponentKind {
    const char* name = nullptr;
    const char* englishName = nullptr;
    const char* description = nullptr;
    int32_t memberCommandCount = 0;
    const void* memberCommands = nullptr;
    uint32_t flags = 0; // KindFlags
    int32_t bitmapResource = 0;
    int32_t eventCount = 0;
    const void* events = nullptr;
    int32_t propertyCount = 0;
    const PropertyDescriptor* properties = nullptr;
    KindInterface kindInterface = nullptr;
    int32_t elementCount = 0;
    const void* elements = nullptr;
};

inline constexpr uint32_t kLibraryFormatWord = 20000101; // 0x01312d65

// One library's record in the program image (thirty-six fields). Every field
// starts at zero, so a record names only the fields it fills.
struct LibraryRecord {
    uint32_t formatWord = 0;
    const char* identity = nullptr;
    int32_t majorVersion = 0, minorVersion = 0, buildNumber = 0;
    int32_t requiredSystemMajor = 0, requiredSystemMinor = 0;
    int32_t requiredCoreMajor = 0, requiredCoreMinor = 0;
    const char* name = nullptr;
    int32_t language = 0;
    const char* explanation = nullptr;
    uint32_t stateFlags = 0;
    const char* author = nullptr;
    const char* postcode = nullptr;
    const char* address = nullptr;
    const char* telephone = nullptr;
    const char* fax = nullptr;
    const char* email = nullptr;
    const char* homePage = nullptr;
    const char* other = nullptr;
    int32_t kindCount = 0;
    const ComponentKind* kinds = nullptr;
    int32_t categoryCount = 0;
    const char* categories = nullptr;
    int32_t commandCount = 0;
    const void* commandDescriptions = nullptr;
    const CommandRoutine* commands = nullptr;
    const void* addInRoutine = nullptr;
    const void* addInDescriptions = nullptr;
    LibraryNotifyRoutine notify = nullptr;
    const void* superTemplate = nullptr;
    const void* superTemplateDescriptions = nullptr;
    int32_t constantCount = 0;
    const void* constants = nullptr;
    const char* dependentFiles = nullptr;
};

// The program header: what the application consists of.
struct ProgramHeader {
    int32_t programMode;
    int32_t reserved;
    int32_t highestSerial;
    const void* codeBase;
    const uint8_t* constants;
    int32_t constantsSize;
    const uint8_t* templateBlock;
    int32_t templateSize;
    int32_t libraryCount;
    const LibraryRecord* const* libraries;
    int32_t dllCommandCount;
    const char* const* dllFiles;
    const char* const* dllExports;
};

} // namespace mt
