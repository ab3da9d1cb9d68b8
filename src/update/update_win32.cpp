// The system's half of the update check: one HTTP GET with WinINet, and the
// user's browser through the shell.
#include <windows.h>
#include <shellapi.h>
#include <wininet.h>

#include <algorithm>
#include <cstddef>
#include <string>

#include "core/seam.h"
#include "core/unique_handle.h"

namespace {

struct close_internet {
    void operator()(HINTERNET h) const { InternetCloseHandle(h); }
};
using unique_internet = unique_handle<HINTERNET, close_internet>;

// An endless or huge answer would otherwise take all memory; a real update
// page is a few kilobytes.
constexpr std::size_t body_cap = 4u << 20;

struct Address {
    INTERNET_SCHEME scheme = INTERNET_SCHEME_UNKNOWN;
    std::string host;
    INTERNET_PORT port = 0;
    std::string object;  // path and query, as the request line carries them
};

bool parse(const Text& address, Address& out) {
    // Every part is a piece of the address, so its length bounds them all.
    const DWORD room = static_cast<DWORD>(address.size() + 1);
    std::string host(room, '\0'), path(room, '\0'), extra(room, '\0');
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host.data();
    parts.dwHostNameLength = room;
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = room;
    parts.lpszExtraInfo = extra.data();
    parts.dwExtraInfoLength = room;
    if (!InternetCrackUrlA(address.c_str(), 0, 0, &parts)) return false;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return false;
    host.resize(parts.dwHostNameLength);
    path.resize(parts.dwUrlPathLength);
    extra.resize(parts.dwExtraInfoLength);
    if (host.empty()) return false;
    // The fragment belongs to the browser, never to the server.
    extra.resize(std::min(extra.size(), extra.find('#')));
    out.scheme = parts.nScheme;
    out.host = host;
    out.port = parts.nPort;
    out.object = (path.empty() ? "/" : path) + extra;
    return true;
}

}  // namespace

namespace seam {

Bytes fetch_url(const Text& address) {
    Address target;
    if (address.empty() || !parse(address, target)) return Bytes();

    // HTTP/1.0 needs a request of our own: a whole-URL open speaks HTTP/1.1.
    const unique_internet session(InternetOpenA("Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)",
                                                INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return Bytes();
    const unique_internet connection(InternetConnectA(session.get(), target.host.c_str(), target.port, nullptr,
                                                      nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return Bytes();
    const char* accept[] = {"*/*", nullptr};
    // Always from the server, never stored; redirects are followed by default.
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
    if (target.scheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
    const unique_internet request(HttpOpenRequestA(connection.get(), "GET", target.object.c_str(), "HTTP/1.0",
                                                   nullptr, accept, flags, 0));
    if (!request || !HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0)) return Bytes();

    // Whatever the status code: an error page is searched like any other.
    // A failed read, like the cap, keeps what has arrived.
    Bytes body;
    char buffer[16384];
    while (body.size() < body_cap) {
        const DWORD wanted = static_cast<DWORD>(std::min(sizeof buffer, body_cap - body.size()));
        DWORD got = 0;
        if (!InternetReadFile(request.get(), buffer, wanted, &got) || got == 0) break;
        body.append(buffer, got);
    }
    return body;
}

void open_url(const Text& address) {
    // Failure shows nothing: the program closes all the same.
    ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace seam
