#pragma once

// Event-mask bits, error values and the per-thread error code of the socket layer. The
// values are the ones the programs were written against; EAGAIN/EWOULDBLOCK show up as
// WSAEWOULDBLOCK and EINVAL as WSAEINVAL, every other failure as its errno value.

inline constexpr int FD_READ = 1;
inline constexpr int FD_WRITE = 2;
inline constexpr int FD_OOB = 4;
inline constexpr int FD_ACCEPT = 8;
inline constexpr int FD_CONNECT = 16;
inline constexpr int FD_CLOSE = 32;

inline constexpr int SOCKET_ERROR = -1;
inline constexpr int INVALID_SOCKET = -1;

inline constexpr int WSAEINVAL = 10022;
inline constexpr int WSAEWOULDBLOCK = 10035;
// No socket library (no reactor) exists on the calling thread.
inline constexpr int WSANOTINITIALISED = 10093;

// The error of the last failed socket call on this thread.
int WSAGetLastError();
void WSASetLastError(int code);

// The socket error code for an errno value, as described above.
int SocketErrorFromErrno(int errnoValue);
// Records errno (as above) as this thread's last socket error.
void SetLastErrorFromErrno(int errnoValue);
