#pragma once

#include <sys/types.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/UniqueFd.h"
#include "shell/CommandIdReader.h"

class CReactor;

// How a second start hands its switches to the running instance: the instance listens on
// a Unix-domain stream socket named after its title; a sender connects, writes command
// ids as decimal lines, in order, and closes without waiting for an answer. Both ends talk
// only to processes of this user: a socket or a connection of another user is ignored.
//
// The listening side is owned by the application and lives as long as the running
// instance. It listens from the moment the instance knows it is the first, before it has a
// loop or a window: a second start finds it at once, and what it sends waits in the socket
// until Serve. Received ids then go to the receiver as they arrive, from the reactor's loop.
class CCommandChannel {
public:
    using Receiver = std::function<void(int commandId)>;

    enum class PostResult {
        kNoInstance,  // no instance of this user listens under the name
        kDelivered,
        kNotTaken,  // an instance is there but took the connection or the ids not in time
    };

    CCommandChannel() = default;
    // Removes the socket file only if it is still the one this channel bound.
    ~CCommandChannel();

    CCommandChannel(const CCommandChannel&) = delete;
    CCommandChannel& operator=(const CCommandChannel&) = delete;

    // Listens at folder/name. A socket file that nobody listens at any more is replaced; one
    // where an instance still listens is left alone and the call fails with EADDRINUSE.
    // False, with errno set, when the socket cannot be made.
    bool Listen(const std::string& folder, const std::string& name);
    const std::string& Path() const { return m_path; }
    // Hands the ids of connections, those already waiting first, to `receiver` from
    // `reactor`'s loop. False, with errno set, when the reactor cannot watch the socket.
    bool Serve(CReactor& reactor, Receiver receiver);

    // Finds the running instance's socket in `folder` (its name compared without regard
    // to letter case) and writes `ids` to it; connecting and writing give up after a
    // short time-out.
    static PostResult Post(const std::string& folder, const std::string& name,
                           const std::vector<int>& ids);

private:
    struct Connection {
        CUniqueFd fd;
        CCommandIdReader reader;
    };

    void OnListenerReadable();
    void OnConnectionReadable(int fd);
    void CloseConnection(int fd);
    void RemoveBoundFile() const;

    CReactor* m_reactor = nullptr;  // while serving
    Receiver m_receiver;
    CUniqueFd m_listener;
    std::string m_path;
    std::pair<dev_t, ino_t> m_boundFile{};  // the socket file this channel bound
    std::map<int, Connection> m_connections;
};
