#include "platform/windows/window_manager_hints.h"

#include <dlfcn.h>

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <cstdlib>

namespace mt::platform {
namespace {

constexpr uint32_t kMwmFuncResize = 2;
constexpr uint32_t kMwmFuncMinimize = 8;
constexpr uint32_t kMwmFuncMaximize = 16;
constexpr uint32_t kMwmFuncClose = 32;
constexpr uint32_t kMwmDecorBorder = 2;
constexpr uint32_t kMwmDecorResizeH = 4;
constexpr uint32_t kMwmDecorTitle = 8;
constexpr uint32_t kMwmDecorMenu = 16;
constexpr uint32_t kMwmDecorMinimize = 32;
constexpr uint32_t kMwmDecorMaximize = 64;

// The few X11 protocol calls needed, taken from the client library Qt has
// loaded already (the program does not link it itself).
struct AtomCookie {
    unsigned int sequence;
};
struct AtomReply {
    uint8_t responseType, pad;
    uint16_t sequence;
    uint32_t length;
    uint32_t atom;
};
struct Xcb {
    AtomCookie (*internAtom)(xcb_connection_t*, uint8_t, uint16_t, const char*);
    AtomReply* (*internAtomReply)(xcb_connection_t*, AtomCookie, void**);
    AtomCookie (*changeProperty)(xcb_connection_t*, uint8_t, uint32_t, uint32_t, uint32_t, uint8_t, uint32_t,
                                 const void*);
    int (*flush)(xcb_connection_t*);
};

const Xcb* LoadXcb()
{
    static const Xcb* loaded = []() -> const Xcb* {
        void* lib = dlopen("libxcb.so.1", RTLD_NOW | RTLD_NOLOAD);
        if (!lib)
            return nullptr;
        static Xcb x;
        x.internAtom = reinterpret_cast<decltype(x.internAtom)>(dlsym(lib, "xcb_intern_atom"));
        x.internAtomReply = reinterpret_cast<decltype(x.internAtomReply)>(dlsym(lib, "xcb_intern_atom_reply"));
        x.changeProperty = reinterpret_cast<decltype(x.changeProperty)>(dlsym(lib, "xcb_change_property"));
        x.flush = reinterpret_cast<decltype(x.flush)>(dlsym(lib, "xcb_flush"));
        return x.internAtom && x.internAtomReply && x.changeProperty && x.flush ? &x : nullptr;
    }();
    return loaded;
}

} // namespace

std::array<uint32_t, 5> MotifHints(uint32_t qtWindowFlags, bool movable)
{
    auto flags = Qt::WindowFlags::fromInt(static_cast<int>(qtWindowFlags));
    const auto type = static_cast<Qt::WindowType>(int(flags & Qt::WindowType_Mask));
    uint32_t hintFlags = kMwmHintsDecorations;
    uint32_t functions = 0;
    uint32_t decorations = 0;
    const bool customize = flags & Qt::CustomizeWindowHint;
    const Qt::WindowFlags defaults = Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                     Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;
    if (type == Qt::Window && !customize && !(flags & defaults))
        flags |= defaults;
    if (!(flags & Qt::FramelessWindowHint) && !(customize && !(flags & Qt::WindowTitleHint))) {
        decorations |= kMwmDecorBorder | kMwmDecorResizeH | kMwmDecorTitle;
        if (flags & Qt::WindowSystemMenuHint)
            decorations |= kMwmDecorMenu;
        if (flags & Qt::WindowMinimizeButtonHint) {
            decorations |= kMwmDecorMinimize;
            functions |= kMwmFuncMinimize;
        }
        if (flags & Qt::WindowMaximizeButtonHint) {
            decorations |= kMwmDecorMaximize;
            functions |= kMwmFuncMaximize;
        }
        if (flags & Qt::WindowCloseButtonHint)
            functions |= kMwmFuncClose;
    }
    if (functions != 0) {
        hintFlags |= kMwmHintsFunctions;
        functions |= kMwmFuncMove | kMwmFuncResize;
    } else {
        functions = kMwmFuncAll;
    }
    if (!movable) {
        hintFlags |= kMwmHintsFunctions;
        if (functions & kMwmFuncAll)
            functions |= kMwmFuncMove; // everything but moving
        else
            functions &= ~kMwmFuncMove;
    }
    return {hintFlags, functions, decorations, 0, 0};
}

bool HintsAllowMove(const std::array<uint32_t, 5>& hints)
{
    if (!(hints[0] & kMwmHintsFunctions))
        return true;
    const bool listed = hints[1] & kMwmFuncMove;
    return (hints[1] & kMwmFuncAll) ? !listed : listed;
}

void ApplyMotifHints(QWidget* window, bool movable)
{
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    const Xcb* xcb = c ? LoadXcb() : nullptr;
    if (!xcb || !window->windowHandle() || !window->testAttribute(Qt::WA_WState_Created))
        return;
    static const char kName[] = "_MOTIF_WM_HINTS";
    AtomReply* reply = xcb->internAtomReply(c, xcb->internAtom(c, 0, sizeof kName - 1, kName), nullptr);
    if (!reply)
        return;
    const uint32_t atom = reply->atom;
    std::free(reply);
    const std::array<uint32_t, 5> hints = MotifHints(static_cast<uint32_t>(window->windowFlags().toInt()), movable);
    xcb->changeProperty(c, 0 /* replace */, static_cast<uint32_t>(window->winId()), atom, atom, 32, 5, hints.data());
    xcb->flush(c);
}

} // namespace mt::platform
