// How the tool's code reaches the runtime: component properties by
// (window, component, property index) and commands through the call gate,
// all through the runtime entry table. Texts the runtime hands back are
// owned here and freed through the runtime's free operation.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "abi/component_kinds.h"
#include "abi/message_box_style.h"
#include "abi/rule_diagnosis_codes.h"
#include "app_image.h"

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
inline constexpr int32_t kContent = mt::PropertyIndexOf(mt::kEbContent);
inline constexpr int32_t kTextColor = mt::PropertyIndexOf(mt::kEbTextColor);
inline constexpr int32_t kSelStart = mt::PropertyIndexOf(mt::kEbSelStart);
inline constexpr int32_t kSelLength = mt::PropertyIndexOf(mt::kEbSelLength);
inline constexpr int32_t kCaption = mt::PropertyIndexOf(mt::kBtnCaption);
inline constexpr int32_t kLabelCaption = mt::PropertyIndexOf(mt::kLabelCaption);

inline constexpr uint32_t kBlack = 0x000000;
inline constexpr uint32_t kPromptGrey = 0x808080;

inline constexpr uint32_t kButtonKind = mt::kKindCodeButton;
inline constexpr uint32_t kEditBoxKind = mt::kKindCodeEditBox;

// Properties of components on the tool's window.
Owned ReadText(uint32_t component, int32_t index);
void WriteText(uint32_t component, int32_t index, const char* text);
void WriteInt(uint32_t component, int32_t index, int32_t value);
int32_t ReadInt(uint32_t component, int32_t index);

// A literal of the constants block.
inline const char* Lit(uint32_t offset) { return Literal(offset); }
// A text argument: null becomes the shared empty text.
const char* Arg(const char* text);
bool SameText(const char* a, const char* b);

// Core commands.
int32_t TextLength(const char* text);                                                               // 取文本长度
int32_t FindText(const char* text, const char* sought, const int32_t* start, bool caseInsensitive); // 寻找文本
Owned MiddleText(const char* text, int32_t start, int32_t length);                                  // 取文本中间
Owned IntToText(int32_t value);                                                                     // ToText
Owned BytesToText(const uint8_t* bytes);                                                            // ToText
Owned TextToBytes(const char* text);                                                                // ToBytes
namespace box = mt::box;                                                                            // the message-box styles
int32_t ShowMessage(const char* content, int32_t flags, const char* title);                         // flags: box::; title null: omitted
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
// RuleDiagnosis (our own): why the rule fails on `text`, or why its middle
// text is empty; code kNone when there is nothing to say.
struct RuleHint {
    mt::DiagnosisCode code = mt::DiagnosisCode::kNone;
    mt::DiagnosisSide side = mt::DiagnosisSide::kNone;
    int32_t position = 0; // 1-based byte position in the text; 0 for none
    int32_t length = 0;   // bytes that matched (partial: the bytes found)
    Owned text;           // the sentence
};
RuleHint DiagnoseRule(const char* text, const char* left, const char* right, bool ignoreCase);
// Whether results show while the rule is typed (RuleDiagnosis asked with a
// component); with a label, the box's context menu also gets the switch.
bool LiveResultsOn();
void OfferLiveSwitch(uint32_t component, const char* label);
// A one-line notice over the top of the big text box (BoxNotice, our own),
// GB18030; it goes with the box's next change of text. Null or empty: the
// notice in place goes.
void ShowNotice(uint32_t component, const char* notice);
// BindKey (our own): the key with these modifiers (1 Ctrl, 2 Shift, 4 Alt)
// clicks the component wherever the window's focus is.
void BindKey(uint32_t component, uint32_t kind, int32_t key, int32_t keyState);
// SuggestRule (our own): a left and a right text that extract exactly the
// examples' bytes. An example is a page and either a selection (1-based
// start and length) or a wanted text, any occurrence of which will do.
struct SuggestExample {
    const char* page = nullptr;
    int32_t start = 0, length = 0; // when wanted is null
    const char* wanted = nullptr;
};
struct SuggestedRule {
    bool found = false;
    std::string left, right;  // the pair, when found
    int32_t example = 0;      // else: the 1-based example the reason concerns,
    std::string code, reason; // its stable code and its sentence
};
SuggestedRule SuggestRule(const std::vector<SuggestExample>& examples);
// The same command offered in a multi-line box's context menu: an entry with
// the label that presses the function key in the box while text is selected.
void OfferKeyInMenu(uint32_t component, int32_t key, const char* label);
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
Owned ReadUrl(const char* url); // HttpRead
Owned ConvertBytes(const uint8_t* bytes, const char* from, const char* to, bool* succeeded);
// The internet library's report on the last HttpRead.
inline constexpr int32_t kTransferComplete = 1;
inline constexpr int32_t kTransferEndedEarly = 2; // some bytes arrived, then it ended
inline constexpr int32_t kTransferCancelled = 3;
inline constexpr int32_t kTransferFailed = 4; // no byte arrived
struct TransferReport {
    int32_t outcome = 0; // kTransfer…; 0 before the first transfer
    Owned reason;        // why it failed or ended early, in words
    Owned contentType;
    Owned charset; // the page's declared encoding as an iconv name; empty for none
    int32_t bomLength = 0;
    int32_t cutLength = 0;
    int32_t status = 0;            // the HTTP status code; 0 when no answer arrived
    Owned statusText;              // "404 Not Found"; empty when no answer arrived
    Owned error;                   // the stable name of what went wrong ("timeout", ...); empty when nothing did
    Owned headers;                 // the response header lines, when the request options keep them
    Owned effectiveUrl;            // the URL of the final answer
    int64_t downloaded = 0;        // body bytes over the wire
    int64_t totalMicroseconds = 0; // the whole transfer
    int32_t redirects = 0;
};
TransferReport LastTransfer();
// Request options for later transfers (the command line's).
struct RequestSettings {
    const char* userAgent = ""; // empty: the program's own
    const char* headers = "";   // "Name: value" lines separated by LF
    const char* cookies = "";
    int32_t retries = 0;       // how often a transient failure is tried again
    bool insecure = false;     // no certificate check
    const char* caFile = "";   // empty: the default certificates
    const char* proxy = "";    // empty: the environment's
    int32_t maxRedirects = -1; // -1: the library's own bound
    bool noCompression = false;
    bool keepHeaders = false; // the report carries the header lines
};
void SetRequestOptions(const RequestSettings& settings);
// The lines naming the libraries pages are read with (ASCII).
Owned LibraryVersions();
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
// Runs the batch until the page under the ticket has ended (true), or until
// the batch has room for more pages and none left to start (false).
bool BatchWait(uint64_t ticket);
// The bounds of every later transfer (HttpTransferBounds); -1: the
// program's default.
struct TransferBounds {
    int64_t maxMilliseconds = -1;     // the whole read of a page, retries included; 0: none
    int64_t connectMilliseconds = -1; // each connect
    int64_t speedLimit = -1;          // the low-speed rule: bytes a second (0: off)
    int64_t speedSeconds = -1;        // and for how long (0: off)
    int64_t maxFileSize = -1;         // decoded bytes one page keeps
    int64_t maxMemory = -1;           // bytes all pages in flight and waiting hold at once
};
void SetTransferBounds(const TransferBounds& bounds);
// The next input box offers the addresses read lately (HttpAddressHistory);
// a page read successfully from `url` joins them.
void OfferRecentAddresses();
void RememberAddress(const char* url);
// A new byte array holding the bytes (null when empty).
Owned NewBytes(std::string_view bytes);
// A new text joining the pieces.
Owned Join(std::initializer_list<std::string_view> pieces);

} // namespace app
