#include "net/ReadableWatch.h"

#include "net/Reactor.h"

bool CReadableWatch::Start(int fd, std::function<void()> onReadable) {
    Stop();
    CReactor* reactor = CReactor::Current();
    if (reactor == nullptr || !reactor->WatchReadable(fd, std::move(onReadable))) {
        return false;
    }
    m_reactor = reactor;
    m_fd = fd;
    return true;
}

void CReadableWatch::Stop() {
    if (m_reactor != nullptr) {
        m_reactor->Unwatch(m_fd);
        m_reactor = nullptr;
        m_fd = -1;
    }
}
