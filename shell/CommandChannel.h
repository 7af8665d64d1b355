#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

class CReactor;

// How a second start hands its switches to the running instance: the instance listens on
// a Unix-domain stream socket named after its title; a sender connects, writes command
// ids as decimal lines, in order, and closes without waiting for an answer.
//
// The listening side is owned by the main window's application and lives as long as the
// window. Received ids go to the receiver as they arrive, from the reactor's loop.
class CCommandChannel {
public:
    using Receiver = std::function<void(int commandId)>;

    CCommandChannel(CReactor& reactor, Receiver receiver);
    ~CCommandChannel();

    CCommandChannel(const CCommandChannel&) = delete;
    CCommandChannel& operator=(const CCommandChannel&) = delete;

    // Listens at folder/name, replacing a stale socket file left by an instance that is
    // gone. False when the socket cannot be made.
    bool Listen(const std::string& folder, const std::string& name);

    // Finds the running instance's socket in `folder` (its name compared without regard
    // to letter case) and writes `ids` to it. False when no instance answers.
    static bool Post(const std::string& folder, const std::string& name,
                     const std::vector<int>& ids);

private:
    struct Connection {
        int fd;
        std::string pending;
    };

    void OnListenerReadable();
    void OnConnectionReadable(int fd);
    void CloseConnection(int fd);

    CReactor& m_reactor;
    Receiver m_receiver;
    int m_listenFd = -1;
    std::string m_path;
    std::map<int, Connection> m_connections;
};
