// The table of socket failures: errno to Windows Sockets code, and the text
// and reconnect rule of each code that has one.
#include "link/socket_errors.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

struct CodeMapping {
    int posixError;
    int code;
};

// Where several errno values describe one situation they share its code:
// a send after the peer went away (EPIPE) is a socket no longer connected.
constexpr CodeMapping kCodes[] = {
    {EINTR, 10004},           {EBADF, 10009},        {EACCES, 10013},
    {EFAULT, 10014},          {EINVAL, 10022},       {EMFILE, 10024},
    {EAGAIN, 10035},          {EINPROGRESS, 10036},  {EALREADY, 10037},
    {ENOTSOCK, 10038},        {EDESTADDRREQ, 10039}, {EMSGSIZE, 10040},
    {EPROTOTYPE, 10041},      {ENOPROTOOPT, 10042},  {EPROTONOSUPPORT, 10043},
    {ESOCKTNOSUPPORT, 10044}, {EOPNOTSUPP, 10045},   {EPFNOSUPPORT, 10046},
    {EAFNOSUPPORT, 10047},    {EADDRINUSE, 10048},   {EADDRNOTAVAIL, 10049},
    {ENETDOWN, 10050},        {ENETUNREACH, 10051},  {ENETRESET, 10052},
    {ECONNABORTED, 10053},    {ECONNRESET, 10054},   {ENOBUFS, 10055},
    {EISCONN, 10056},         {ENOTCONN, 10057},     {EPIPE, 10057},
    {ESHUTDOWN, 10058},       {ETOOMANYREFS, 10059}, {ETIMEDOUT, 10060},
    {ECONNREFUSED, 10061},    {ELOOP, 10062},        {ENAMETOOLONG, 10063},
    {EHOSTDOWN, 10064},       {EHOSTUNREACH, 10065},
};

struct CodeText {
    int code;
    const char* text;
    bool reconnect;
};

constexpr CodeText kTexts[] = {
    {10014, "Buffer overflow or protection fault", false},
    {10038, "Handle corruption S", false},
    {10040, "Reply message too large", false},
    {10050, "The network subsystem has failed", false},
    {10052, "Connection broken by keep-alive failure", true},
    {10053, "Circuit terminated by time-out or failure", true},
    {10054, "Circuit reset by peer", true},
    {10057, "The socket is not connected", true},
    {10060, "Connection dropped by network or peer failure", true},
    {10093, "WSAStartup not initialized", false},
};

}  // namespace

int SocketErrorCode(int posixError) {
    for (const CodeMapping& m : kCodes)
        if (m.posixError == posixError) return m.code;
    return posixError;
}

bool FormatSocketError(const char* operation, int posixError, char* text, size_t size) {
    const int code = SocketErrorCode(posixError);
    for (const CodeText& t : kTexts) {
        if (t.code != code) continue;
        snprintf(text, size, "%s: %s", operation, t.text);
        return t.reconnect;
    }
    snprintf(text, size, "%s: %s", operation, strerror(posixError));
    return false;
}
