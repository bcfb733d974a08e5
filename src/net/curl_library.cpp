// libcurl, opened when the first page is read rather than when the program
// starts. Linked as usual, libcurl and the thirty libraries it needs (TLS,
// Kerberos, LDAP, ...) would be loaded and relocated before the window could
// appear, and would lengthen every symbol lookup after them; most sessions
// read a page late or never.
//
// The functions below stand in for the ones the reader calls, with libcurl's
// own names and signatures: each opens the library on first use and passes
// the call on. Without the library a transfer fails to start (init gives
// null, the rest report CURLE_FAILED_INIT); clean-ups do not open it.
#define CURL_DISABLE_TYPECHECK 1 // the type-checking macros would hide the definitions
#include <curl/curl.h>

#include <dlfcn.h>

#include <atomic>
#include <cstdarg>

namespace {

struct Library {
    CURLcode (*globalInit)(long);
    void (*globalCleanup)();
    curl_version_info_data* (*versionInfo)(CURLversion);
    CURL* (*easyInit)();
    void (*easyCleanup)(CURL*);
    void (*easyReset)(CURL*);
    CURLcode (*easyPerform)(CURL*);
    CURLcode (*easySetopt)(CURL*, CURLoption, ...);
    CURLcode (*easyGetinfo)(CURL*, CURLINFO, ...);
    CURLcode (*easyPause)(CURL*, int);
    curl_slist* (*slistAppend)(curl_slist*, const char*);
    void (*slistFreeAll)(curl_slist*);
    CURLM* (*multiInit)();
    CURLMcode (*multiCleanup)(CURLM*);
    CURLMcode (*multiAddHandle)(CURLM*, CURL*);
    CURLMcode (*multiRemoveHandle)(CURLM*, CURL*);
    CURLMcode (*multiPerform)(CURLM*, int*);
    CURLMcode (*multiPoll)(CURLM*, curl_waitfd[], unsigned, int, int*);
    CURLMcode (*multiWakeup)(CURLM*);
    CURLMsg* (*multiInfoRead)(CURLM*, int*);
    CURLMcode (*multiSetopt)(CURLM*, CURLMoption, ...);
};

template <typename F>
void Find(void* lib, const char* name, F* out)
{
    *out = reinterpret_cast<F>(dlsym(lib, name));
}

Library Open()
{
    Library l{};
    void* lib = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (!lib)
        return l;
    Find(lib, "curl_global_init", &l.globalInit);
    Find(lib, "curl_global_cleanup", &l.globalCleanup);
    Find(lib, "curl_version_info", &l.versionInfo);
    Find(lib, "curl_easy_init", &l.easyInit);
    Find(lib, "curl_easy_cleanup", &l.easyCleanup);
    Find(lib, "curl_easy_reset", &l.easyReset);
    Find(lib, "curl_easy_perform", &l.easyPerform);
    Find(lib, "curl_easy_setopt", &l.easySetopt);
    Find(lib, "curl_easy_getinfo", &l.easyGetinfo);
    Find(lib, "curl_easy_pause", &l.easyPause);
    Find(lib, "curl_slist_append", &l.slistAppend);
    Find(lib, "curl_slist_free_all", &l.slistFreeAll);
    Find(lib, "curl_multi_init", &l.multiInit);
    Find(lib, "curl_multi_cleanup", &l.multiCleanup);
    Find(lib, "curl_multi_add_handle", &l.multiAddHandle);
    Find(lib, "curl_multi_remove_handle", &l.multiRemoveHandle);
    Find(lib, "curl_multi_perform", &l.multiPerform);
    Find(lib, "curl_multi_poll", &l.multiPoll);
    Find(lib, "curl_multi_wakeup", &l.multiWakeup);
    Find(lib, "curl_multi_info_read", &l.multiInfoRead);
    Find(lib, "curl_multi_setopt", &l.multiSetopt);
    // A library without the calls the reader needs to start is no library.
    if (!l.globalInit || !l.easyInit || !l.multiInit || !l.easySetopt || !l.multiPerform)
        l = Library{};
    return l;
}

std::atomic<const Library*> g_opened{nullptr};

// Opened once, by whichever thread asks first.
const Library& Curl()
{
    static const Library l = Open();
    g_opened.store(&l, std::memory_order_release);
    return l;
}

// For clean-ups: handles exist only if the library was opened, so a
// clean-up never opens it.
const Library& CurlIfOpen()
{
    static const Library none{};
    const Library* l = g_opened.load(std::memory_order_acquire);
    return l ? *l : none;
}

// Calls the library's function `kMember` with `args`, or gives `absent`
// when the library (or that function) is missing. Clean-ups go through
// PassIfOpen: they never open the library, whose handles exist only if it was.
template <auto kMember, typename Result, typename... Args>
Result Pass(Result absent, Args... args)
{
    const auto f = Curl().*kMember;
    return f ? f(args...) : absent;
}

template <auto kMember, typename... Args>
void PassIfOpen(Args... args)
{
    if (const auto f = CurlIfOpen().*kMember)
        f(args...);
}

// Options and infos carry their argument's type in their number: below
// 10000 a long, then an object pointer, a function pointer, a curl_off_t,
// a blob (a pointer).
template <typename Call>
CURLcode PassOn(int option, va_list ap, Call call)
{
    if (option < CURLOPTTYPE_OBJECTPOINT)
        return call(va_arg(ap, long));
    if (option < CURLOPTTYPE_FUNCTIONPOINT)
        return call(va_arg(ap, void*));
    if (option < CURLOPTTYPE_OFF_T)
        return call(va_arg(ap, void (*)()));
    if (option < CURLOPTTYPE_BLOB)
        return call(va_arg(ap, curl_off_t));
    return call(va_arg(ap, void*));
}

} // namespace

// libcurl declares the option in front of the variable arguments as an
// enum, which clang says may be promoted; the declarations are libcurl's and
// every caller passes the arguments so.
#if defined(__clang__)
#pragma clang diagnostic ignored "-Wvarargs"
#endif

extern "C" {

CURLcode curl_global_init(long flags) { return Pass<&Library::globalInit>(CURLE_FAILED_INIT, flags); }
void curl_global_cleanup() { PassIfOpen<&Library::globalCleanup>(); }
curl_version_info_data* curl_version_info(CURLversion v)
{
    return Pass<&Library::versionInfo>(static_cast<curl_version_info_data*>(nullptr), v);
}

CURL* curl_easy_init() { return Pass<&Library::easyInit>(static_cast<CURL*>(nullptr)); }
void curl_easy_cleanup(CURL* h)
{
    if (h)
        PassIfOpen<&Library::easyCleanup>(h);
}
void curl_easy_reset(CURL* h)
{
    if (h)
        PassIfOpen<&Library::easyReset>(h);
}
CURLcode curl_easy_perform(CURL* h) { return Pass<&Library::easyPerform>(CURLE_FAILED_INIT, h); }

CURLcode curl_easy_setopt(CURL* h, CURLoption option, ...)
{
    const auto set = Curl().easySetopt;
    if (!set)
        return CURLE_FAILED_INIT;
    va_list ap;
    va_start(ap, option);
    const CURLcode r = PassOn(option, ap, [&](auto value) { return set(h, option, value); });
    va_end(ap);
    return r;
}

CURLcode curl_easy_getinfo(CURL* h, CURLINFO info, ...)
{
    va_list ap;
    va_start(ap, info);
    void* out = va_arg(ap, void*); // every info is written through a pointer
    va_end(ap);
    return Pass<&Library::easyGetinfo>(CURLE_FAILED_INIT, h, info, out);
}

CURLcode curl_easy_pause(CURL* h, int bitmask) { return Pass<&Library::easyPause>(CURLE_FAILED_INIT, h, bitmask); }

curl_slist* curl_slist_append(curl_slist* list, const char* s)
{
    return Pass<&Library::slistAppend>(static_cast<curl_slist*>(nullptr), list, s);
}
void curl_slist_free_all(curl_slist* list)
{
    if (list)
        PassIfOpen<&Library::slistFreeAll>(list);
}

CURLM* curl_multi_init() { return Pass<&Library::multiInit>(static_cast<CURLM*>(nullptr)); }
CURLMcode curl_multi_cleanup(CURLM* m)
{
    if (!m || !CurlIfOpen().multiCleanup)
        return CURLM_BAD_HANDLE;
    return CurlIfOpen().multiCleanup(m);
}
CURLMcode curl_multi_add_handle(CURLM* m, CURL* h) { return Pass<&Library::multiAddHandle>(CURLM_BAD_HANDLE, m, h); }
CURLMcode curl_multi_remove_handle(CURLM* m, CURL* h)
{
    return Pass<&Library::multiRemoveHandle>(CURLM_BAD_HANDLE, m, h);
}
CURLMcode curl_multi_perform(CURLM* m, int* running) { return Pass<&Library::multiPerform>(CURLM_BAD_HANDLE, m, running); }
CURLMcode curl_multi_poll(CURLM* m, curl_waitfd extra[], unsigned n, int timeoutMs, int* ready)
{
    return Pass<&Library::multiPoll>(CURLM_BAD_HANDLE, m, extra, n, timeoutMs, ready);
}
CURLMcode curl_multi_wakeup(CURLM* m) { return Pass<&Library::multiWakeup>(CURLM_BAD_HANDLE, m); }
CURLMsg* curl_multi_info_read(CURLM* m, int* left)
{
    return Pass<&Library::multiInfoRead>(static_cast<CURLMsg*>(nullptr), m, left);
}

CURLMcode curl_multi_setopt(CURLM* m, CURLMoption option, ...)
{
    const auto set = Curl().multiSetopt;
    if (!set)
        return CURLM_BAD_HANDLE;
    va_list ap;
    va_start(ap, option);
    const CURLcode r = PassOn(option, ap, [&](auto value) { return static_cast<CURLcode>(set(m, option, value)); });
    va_end(ap);
    return static_cast<CURLMcode>(r);
}

} // extern "C"
