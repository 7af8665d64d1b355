#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "net/AsyncSocket.h"
#include "net/Reactor.h"
#include "net/UniqueFd.h"

// A socket that counts its notifications and runs an optional action inside each handler.
class CProbeSocket : public CAsyncSocket {
public:
    int received = 0;
    int sent = 0;
    int accepted = 0;
    int closed = 0;
    int lastError = -1;
    std::function<void(CProbeSocket&)> onReceive;
    std::function<void(CProbeSocket&)> onSend;
    std::function<void(CProbeSocket&)> onAccept;
    std::function<void(CProbeSocket&)> onClose;

protected:
    void OnReceive(int errorCode) override { Note(received, errorCode, onReceive); }
    void OnSend(int errorCode) override { Note(sent, errorCode, onSend); }
    void OnAccept(int errorCode) override { Note(accepted, errorCode, onAccept); }
    void OnClose(int errorCode) override { Note(closed, errorCode, onClose); }

private:
    // The action may delete this object, so it runs last.
    void Note(int& counter, int errorCode, const std::function<void(CProbeSocket&)>& action) {
        ++counter;
        lastError = errorCode;
        if (action) {
            std::function<void(CProbeSocket&)> run = action;
            run(*this);
        }
    }
};

// A blocking TCP client on loopback, standing in for a browser.
class CLoopbackClient {
public:
    explicit CLoopbackClient(unsigned port);
    bool IsConnected() const { return m_connected; }
    int Fd() const { return m_fd.Get(); }
    void SendText(const std::string& text);
    // Everything the server sends until it closes.
    std::string ReadAll();
    void Close() { m_fd.Reset(); }
    // Close with a reset instead of an orderly shutdown.
    void Abort();

private:
    CUniqueFd m_fd;
    bool m_connected = false;
};

// Each test gets its own reactor, created before and destroyed after its sockets.
class NetTest : public ::testing::Test {
protected:
    // Dispatches until `done` holds; fails the test after a generous number of rounds.
    void DispatchUntil(const std::function<bool()>& done);
    // Dispatches whatever is due now (and a little that is about to be), so a test can
    // check that nothing more arrives.
    void DispatchPending();

    CReactor m_reactor;
};
