#pragma once

#include <sys/epoll.h>

#include <cstdint>

#include "base/UniqueFd.h"

// The epoll instance of one reactor; the only code that touches epoll. Sockets are watched
// edge-triggered for every condition, once, for their whole life, so delivering a
// notification costs no epoll_ctl; the reactor keeps the readiness in between. A socket
// that has no use for room to send may leave that condition out until it has: then the
// kernel does not wake the loop each time a datagram it sent has left.
class CEpollPoller {
public:
    CEpollPoller();

    bool IsValid() const { return m_epoll.IsOpen(); }
    int Fd() const { return m_epoll.Get(); }

    bool AddEdgeTriggered(int fd, std::uint64_t token, bool withRoomToSend = true);
    // Adds room to send to what an edge-triggered `fd` is watched for; an edge for the room
    // there is now comes at once.
    bool AddRoomToSend(int fd, std::uint64_t token);
    // `events`: EPOLLIN, EPOLLOUT or both.
    bool AddLevelTriggered(int fd, std::uint64_t token, std::uint32_t events = EPOLLIN);
    void Remove(int fd);

    // Number of events stored in `events`; 0 on time-out or interruption.
    int Wait(epoll_event* events, int maxEvents, int timeoutMs);

private:
    CUniqueFd m_epoll;
};
