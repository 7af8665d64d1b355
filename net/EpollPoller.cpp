#include "net/EpollPoller.h"

#include "net/Sys.h"

namespace {
constexpr std::uint32_t kSocketEvents = EPOLLIN | EPOLLOUT | EPOLLPRI | EPOLLRDHUP | EPOLLET;
}  // namespace

CEpollPoller::CEpollPoller() : m_epoll(sys::EpollCreate()) {}

bool CEpollPoller::AddEdgeTriggered(int fd, std::uint64_t token, bool withRoomToSend) {
    return sys::EpollAdd(m_epoll.Get(), fd,
                         withRoomToSend ? kSocketEvents : kSocketEvents & ~EPOLLOUT, token) == 0;
}

bool CEpollPoller::AddRoomToSend(int fd, std::uint64_t token) {
    return sys::EpollModify(m_epoll.Get(), fd, kSocketEvents, token) == 0;
}

bool CEpollPoller::AddLevelTriggered(int fd, std::uint64_t token, std::uint32_t events) {
    return sys::EpollAdd(m_epoll.Get(), fd, events, token) == 0;
}

void CEpollPoller::Remove(int fd) {
    sys::EpollRemove(m_epoll.Get(), fd);
}

int CEpollPoller::Wait(epoll_event* events, int maxEvents, int timeoutMs) {
    int count = sys::EpollWait(m_epoll.Get(), events, maxEvents, timeoutMs);
    return count < 0 ? 0 : count;
}
