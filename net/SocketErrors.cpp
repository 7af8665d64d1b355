#include "net/SocketErrors.h"

#include <cerrno>

namespace {
thread_local int t_lastError = 0;
}

int WSAGetLastError() {
    return t_lastError;
}

void WSASetLastError(int code) {
    t_lastError = code;
}

int SocketErrorFromErrno(int errnoValue) {
    if (errnoValue == EAGAIN || errnoValue == EWOULDBLOCK) {
        return WSAEWOULDBLOCK;
    }
    if (errnoValue == EINVAL) {
        return WSAEINVAL;
    }
    return errnoValue;
}

void SetLastErrorFromErrno(int errnoValue) {
    t_lastError = SocketErrorFromErrno(errnoValue);
}
