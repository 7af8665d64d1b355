#pragma once

#include <netinet/in.h>

#include <cstddef>
#include <cstdint>

class IQueryTransport;

// Where a query came from: the transport that brought it and, within it, its client, so that
// whatever becomes of the query finds the way back.
struct QueryOrigin {
    IQueryTransport* transport = nullptr;
    // The client's address (datagrams).
    sockaddr_in address{};
    // The client's connection (streams); a connection that has ended finds nothing.
    std::uint64_t connection = 0;
    // Came over a stream (TCP): no datagram size limits, and relayed over a stream too.
    bool stream = false;
};

// What carries queries in and their replies out: the datagram socket or the TCP listener.
class IQueryTransport {
public:
    // The query from `origin` is over, with the reply of `length` bytes to send, or with none
    // (`length` 0). Called exactly once for every query handed to the query handler.
    virtual void Finish(const QueryOrigin& origin, const std::uint8_t* reply,
                        std::size_t length) = 0;

protected:
    ~IQueryTransport() = default;
};
