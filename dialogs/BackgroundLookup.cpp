#include "dialogs/BackgroundLookup.h"

#include <sys/socket.h>

#include <memory>
#include <system_error>
#include <thread>

#include "net/Reactor.h"
#include "net/Sys.h"

namespace {

// The result travels as the address of a heap object that the receiving end takes over.
using ResultPointer = CBackgroundLookup::Result*;

void RunLookup(const CBackgroundLookup::Lookup& lookup, CUniqueFd writeEnd) {
    auto result = std::make_unique<CBackgroundLookup::Result>(lookup());
    ResultPointer sent = result.get();
    // Once the receiving end has shut down, the send fails and the result stays ours.
    if (sys::Send(writeEnd.Get(), &sent, sizeof sent, MSG_NOSIGNAL) ==
        static_cast<ssize_t>(sizeof sent)) {
        result.release();
    }
}

// Takes over a result waiting on `fd`, if there is one.
std::unique_ptr<CBackgroundLookup::Result> ReceiveResult(int fd) {
    ResultPointer received = nullptr;
    if (sys::Recv(fd, &received, sizeof received, 0) != static_cast<ssize_t>(sizeof received)) {
        return nullptr;
    }
    return std::unique_ptr<CBackgroundLookup::Result>(received);
}

}  // namespace

CBackgroundLookup::CBackgroundLookup(CReactor& reactor, Lookup lookup, OnResult onResult)
    : m_reactor(reactor), m_onResult(std::move(onResult)) {
    int ends[2];
    if (sys::StreamPair(ends) != 0) {
        return;
    }
    CUniqueFd readEnd(ends[0]);
    CUniqueFd writeEnd(ends[1]);
    if (!m_reactor.WatchReadable(readEnd.Get(), [this] { TakeResult(); })) {
        return;
    }
    try {
        std::thread(RunLookup, std::move(lookup), std::move(writeEnd)).detach();
    } catch (const std::system_error&) {
        m_reactor.Unwatch(readEnd.Get());
        return;
    }
    m_resultEnd = std::move(readEnd);
}

CBackgroundLookup::~CBackgroundLookup() {
    Stop();
}

void CBackgroundLookup::TakeResult() {
    std::unique_ptr<Result> result = ReceiveResult(m_resultEnd.Get());
    Stop();
    // The callback may destroy this object.
    const OnResult onResult = std::move(m_onResult);
    if (result) {
        onResult(*result);
    }
}

void CBackgroundLookup::Stop() {
    if (!m_resultEnd.IsOpen()) {
        return;
    }
    m_reactor.Unwatch(m_resultEnd.Get());
    // After the shutdown the thread's send fails; a result sent before it is still here.
    sys::Shutdown(m_resultEnd.Get(), SHUT_RD);
    ReceiveResult(m_resultEnd.Get());
    m_resultEnd.Reset();
}
