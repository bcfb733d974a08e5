// The window template block as plain structs: what the reader produces and
// the writer consumes. No engine, no platform: these can be built, compared
// and fuzzed alone. Texts are GB18030 bytes as stored.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mt {

// Ids: bits 0-23 serial, bits 24-27 non-zero, bits 28-31 class.
constexpr uint32_t IdSerial(uint32_t id) { return id & 0x00FFFFFFu; }
constexpr uint32_t IdGroup(uint32_t id) { return (id >> 24) & 0xFu; }
constexpr uint32_t IdClass(uint32_t id) { return id >> 28; }
// Every lookup by id rejects an id whose serial or bits 24-27 are zero.
constexpr bool IsValidId(uint32_t id) { return IdSerial(id) != 0 && IdGroup(id) != 0; }
constexpr bool IsMenuItemId(uint32_t id) { return IdGroup(id) == 6 && IdClass(id) == 2; }

inline constexpr uint32_t kMenuItemKind = 0x00010003;

// State word bits.
inline constexpr uint32_t kStateVisible = 0x1;
inline constexpr uint32_t kStateDisabled = 0x2;
inline constexpr uint32_t kStateTabStop = 0x4;

struct EventBinding {
    int32_t index = 0;
    int32_t offset = -1;           // as stored, relative to the code base; -1: no handler
    const void* handler = nullptr; // code base + offset after reading; null for -1
};

struct ComponentRecord {
    uint32_t id = 0;
    uint32_t kind = 0;
    uint32_t sharedSource = 0;
    uint32_t fourWords[4] = {};
    std::string name;
    std::string secondText;
    // Component records (not menu items):
    int32_t left = 0, top = 0, width = 0, height = 0;
    uint32_t parent = 0;
    std::vector<uint32_t> pages;
    std::string mousePointer;
    std::string tag;
    uint32_t wordE = 0;
    uint32_t state = 0;
    uint32_t wordF = 0;
    std::vector<EventBinding> events;
    uint32_t fiveWords[5] = {};
    std::string properties; // the kind's property record; empty: none
    // Menu item records:
    uint32_t menuWords[2] = {};
    uint32_t menuState = 0;
    std::string menuCaption;
    EventBinding menuHandler;
    std::string menuRest;
    // Run-time slots (never read from or written to a block): the live
    // component object and the cursor made from mousePointer.
    void* object = nullptr;
    void* cursor = nullptr;

    bool isMenuItem() const { return IsMenuItemId(id); }
};

struct WindowDescription {
    uint32_t id = 0;
    uint32_t word1 = 0;
    uint32_t word2 = 0;
    std::string text1;
    std::string text2;
    std::vector<ComponentRecord> records; // record 0 is the window's own

    // The record with this id, or null. Ids with a zero serial or zero bits
    // 24-27 are never found. With allowZero, id 0 names record 0.
    ComponentRecord* find(uint32_t componentId, bool allowZero = false);
    const ComponentRecord* find(uint32_t componentId, bool allowZero = false) const;
    // Position of the record with this id, or -1.
    int indexOf(uint32_t componentId, bool allowZero = false) const;
};

// The description with this id, or null (linear search in index order).
WindowDescription* FindWindow(std::vector<WindowDescription>& windows, uint32_t windowId);
const WindowDescription* FindWindow(const std::vector<WindowDescription>& windows, uint32_t windowId);

} // namespace mt
