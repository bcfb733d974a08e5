// How the tool's code reaches the runtime: component properties by
// (window, component, property index) and commands through the call gate,
// all through the runtime entry table. Texts the runtime hands back are
// owned here and freed through the runtime's free operation.
#pragma once

#include <cstdint>
#include <string_view>

#include "app_image.h"
#include "abi/message_box_style.h"

namespace app {

// A text (or byte array) received from the runtime; freed when it goes.
class Owned {
public:
    Owned() = default;
    explicit Owned(void* block) : block_(block) {}
    Owned(Owned&& other) noexcept : block_(other.release()) {}
    Owned& operator=(Owned&& other) noexcept;
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned();

    const char* text() const { return static_cast<const char*>(block_); }
    const uint8_t* bytes() const { return static_cast<const uint8_t*>(block_); }
    bool empty() const { return block_ == nullptr; }
    // The text's bytes; the empty text for null.
    std::string_view view() const;
    void* release();

private:
    void* block_ = nullptr;
};

// Property indices the tool uses.
inline constexpr int32_t kContent = 8;     // edit box
inline constexpr int32_t kTextColor = 10;  // edit box
inline constexpr int32_t kSelStart = 24;   // edit box
inline constexpr int32_t kSelLength = 25;  // edit box
inline constexpr int32_t kCaption = 10;    // button
inline constexpr int32_t kLabelCaption = 8; // transparent label

inline constexpr uint32_t kBlack = 0x000000;
inline constexpr uint32_t kPromptGrey = 0x808080;

inline constexpr uint32_t kButtonKind = 0x0001000B;
inline constexpr uint32_t kEditBoxKind = 0x00010005;

// Properties of components on the tool's window.
Owned ReadText(uint32_t component, int32_t index);
void WriteText(uint32_t component, int32_t index, const char* text);
void WriteInt(uint32_t component, int32_t index, int32_t value);

// A literal of the constants block.
inline const char* Lit(uint32_t offset) { return Literal(offset); }
// A text argument: null becomes the shared empty text.
const char* Arg(const char* text);
bool SameText(const char* a, const char* b);

// Core commands.
int32_t TextLength(const char* text);                                             // 取文本长度
int32_t FindText(const char* text, const char* sought, const int32_t* start, bool caseInsensitive); // 寻找文本
Owned MiddleText(const char* text, int32_t start, int32_t length);                // 取文本中间
Owned IntToText(int32_t value);                                                   // ToText
Owned BytesToText(const uint8_t* bytes);                                          // ToText
Owned TextToBytes(const char* text);                                              // ToBytes
namespace box = mt::box; // the message-box styles
int32_t ShowMessage(const char* content, int32_t flags, const char* title);      // flags: box::; title null: omitted
bool SetClipboard(const char* text);
void FocusComponent(uint32_t component, uint32_t kind);
// Marks in the big text box (MarkText, our own): the parts an extraction
// found, as 1-based byte positions and lengths (length 0: no mark), and the
// occurrences of `sought` in view (empty: none). Nothing at all: the marks go.
struct MarkedParts {
    int32_t leftAt = 0, leftLength = 0;
    int32_t middleAt = 0, middleLength = 0;
    int32_t rightAt = 0, rightLength = 0;
};
void MarkText(uint32_t component, const char* sought, const MarkedParts& parts);
// BindKey (our own): the key with these modifiers (1 Ctrl, 2 Shift, 4 Alt)
// clicks the component wherever the window's focus is.
void BindKey(uint32_t component, uint32_t kind, int32_t key, int32_t keyState);
// The same key raising another event of the component, with the key code
// and modifiers as its arguments (as the key-down event carries them).
void BindKeyToEvent(uint32_t component, uint32_t kind, int32_t key, int32_t keyState, int32_t event);
inline constexpr int32_t kEventKeyDown = -9;
inline constexpr int32_t kCtrlShift = 3; // the modifiers: 1 Ctrl, 2 Shift, 4 Alt
// EditBoxOption (our own): how an edit box last gained the focus, and the
// box whose line breaks Enter follows.
inline constexpr int32_t kOptionFocusCause = 1;
inline constexpr int32_t kOptionLineBreaksOf = 2;
inline constexpr int32_t kFocusByLeftClick = 1;
inline constexpr int32_t kFocusByTab = 3;
inline constexpr int32_t kFocusByBacktab = 4;
int32_t FocusCause(uint32_t box);
// Enter in `box` inserts the line break the text of `source` uses.
void FollowLineBreaks(uint32_t box, uint32_t source);
// InputBox into a text variable: true when confirmed; *entered then owns it.
bool AskText(const char* prompt, const char* title, const char* initial, Owned* entered);
// Internet and encoding libraries.
Owned ReadUrl(const char* url);                                                   // HttpRead
Owned ConvertBytes(const uint8_t* bytes, const char* from, const char* to, bool* succeeded);
// The internet library's report on the last HttpRead.
inline constexpr int32_t kTransferComplete = 1;
inline constexpr int32_t kTransferEndedEarly = 2; // some bytes arrived, then it ended
inline constexpr int32_t kTransferCancelled = 3;
inline constexpr int32_t kTransferFailed = 4;     // no byte arrived
struct TransferReport {
    int32_t outcome = 0; // kTransfer…; 0 before the first transfer
    Owned reason;        // why it failed or ended early, in words
    Owned contentType;
    Owned charset;       // the page's declared encoding as an iconv name; empty for none
    int32_t bomLength = 0;
    int32_t cutLength = 0;
    int32_t status = 0;  // the HTTP status code; 0 when no answer arrived
    Owned statusText;    // "404 Not Found"; empty when no answer arrived
};
TransferReport LastTransfer();
// Request options for later transfers (the command line's): User-Agent
// (empty: the program's own), "Name: value" header lines separated by LF,
// cookies, and how often a transient failure is tried again.
void SetRequestOptions(const char* userAgent, const char* headers, const char* cookies, int32_t retries);
// From any thread while ReadUrl runs: bytes received so far and the
// announced length (-1 when none).
void TransferProgress(int64_t* received, int64_t* announced);
// Bounds every later transfer as a whole; 0: no bound.
void SetTransferTimeLimit(int32_t seconds);
// A page's bytes in GB18030 as browsers decode them (HttpPageText): each bad
// sequence replaced, an incomplete last character left out; *replaced
// counts those bytes. Null with *replaced -1 when the bytes are not in
// `charset` (too many bad ones) or iconv does not know it.
Owned PageText(const uint8_t* bytes, const char* charset, int64_t* replaced);
// Pages read several at once (the internet library's batch): how many
// transfers run at once (everything asked for so far is dropped); a page
// asked for under a ticket (false when the ticket is in use); and the page
// under a ticket, once its transfer has ended, after which LastTransfer
// reports on it.
void SetBatchJobs(int32_t jobs);
bool BatchAdd(uint64_t ticket, const char* url);
Owned BatchTake(uint64_t ticket);
// The next input box offers the addresses read lately (HttpAddressHistory);
// a page read successfully from `url` joins them.
void OfferRecentAddresses();
void RememberAddress(const char* url);
// A new byte array holding the bytes (null when empty).
Owned NewBytes(std::string_view bytes);
// A new text joining the pieces.
Owned Join(std::initializer_list<std::string_view> pieces);

} // namespace app
