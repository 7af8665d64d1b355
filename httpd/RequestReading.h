#pragma once

// How a connection reads its request: without interpreting it. Each receive takes up to
// kRequestBufferSize bytes; the request is complete at the first receive that returns less
// than that (the client has sent all it had), and a request still filling the buffer at
// the kMaxReceives-th receive is refused.
namespace httpd {

inline constexpr int kRequestBufferSize = 1024;
inline constexpr int kMaxReceives = 32;

enum class ReadStep { kKeepReading, kComplete, kRefuse };

// `received`: what this receive returned (0 to kRequestBufferSize); `receiveCount`: the
// receives of this connection so far, this one included.
ReadStep NextReadStep(int received, int receiveCount);

}  // namespace httpd
