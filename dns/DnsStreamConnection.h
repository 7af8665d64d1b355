#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dns/QueryOrigin.h"
#include "dns/TcpFrameReader.h"
#include "net/AsyncSocket.h"
#include "net/Reactor.h"

class CDnsStreamListener;
class CQueryHandler;

// One client connection of the DNS service over TCP. It carries any number of queries,
// each after its two-byte length, back to back (pipelined); every query goes to the query
// handler as it completes, and its reply goes back, with its length, as soon as it is ready,
// so replies may leave in another order than their queries came.
//
// Its bounds keep one client from hurting the rest: at most kMaxPendingQueries unanswered at
// once (further bytes wait in the kernel meanwhile); closed once kMaxUnsentBytes of replies
// wait unsent, after the idle time-out of silence with no query pending, and when a message
// stops arriving midway for as long.
//
// Owned by its listener, which deletes it when it ends (Drop); deleting it closes the
// connection and drops what it had pending.
class CDnsStreamConnection : public CAsyncSocket {
public:
    static constexpr int kMaxPendingQueries = 64;
    static constexpr std::size_t kMaxUnsentBytes = 128 * 1024;

    // `transport` and `id` make the origin of its queries; the listener, the transport and
    // the handler outlive it.
    CDnsStreamConnection(CDnsStreamListener& listener, IQueryTransport& transport, std::uint64_t id,
                         CQueryHandler& handler, int idleTimeoutMs);
    ~CDnsStreamConnection() override;

    // Starts reading, once accepted.
    void Begin();
    // One of its queries is over, with the reply of `length` bytes or none (0).
    void Finish(const std::uint8_t* reply, std::size_t length);

protected:
    void OnReceive(int errorCode) override;
    void OnSend(int errorCode) override;
    void OnClose(int errorCode) override;

private:
    // Hands the complete queries to the handler while fewer than kMaxPendingQueries are
    // pending, then sends their replies together.
    void HandleQueries();
    // Sends what waits unsent as far as the socket takes it; false when the connection broke.
    bool Flush();
    // Ends the connection once nothing more is to come or to go.
    bool Finished() const;
    void OnIdleCheck();
    void StartIdleCheck(int delayMs);
    // Closes the connection at once and has the listener delete it from the loop, for an
    // end found inside a call that is still on the stack.
    void Abandon();
    // Has the listener delete it now: the caller's last action.
    void End();
    bool IsOpen() const { return Handle() != INVALID_SOCKET; }

    CDnsStreamListener& m_listener;
    CQueryHandler& m_handler;
    CReactor& m_reactor;
    QueryOrigin m_origin;
    const int m_idleTimeoutMs;
    CTcpFrameReader m_reader;
    std::vector<std::uint8_t> m_unsent;
    std::size_t m_unsentHead = 0;  // bytes of m_unsent sent already
    int m_pending = 0;             // queries with the handler
    bool m_handling = false;       // inside HandleQueries: replies wait for its send
    bool m_readingHeld = false;    // a read was left undone for lack of room
    bool m_peerDone = false;       // the client sends nothing more
    std::int64_t m_lastHeardNs = 0;
    CReactor::TimerId m_timer = 0;
};
