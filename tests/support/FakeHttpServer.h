#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/UniqueFd.h"

namespace kit {

// A stand-in for a web server that publishes lists: HTTP/1.1 on 127.0.0.1, one connection
// at a time on its own thread, each answered from a behaviour and then closed.
class CFakeHttpServer {
public:
    struct Response {
        int status = 200;
        std::string headers;  // extra header lines, each ending in "\r\n"
        std::string body;
        // Without Content-Length: the body is `body` sent `repeat` times, ended by the close.
        std::size_t repeat = 0;
        // Sends the headers and holds the body back for as long as the server lives.
        bool hold = false;
    };
    // Runs on the server's thread with the request's head (request line and headers).
    using Behaviour = std::function<Response(const std::string& request)>;

    explicit CFakeHttpServer(Behaviour behaviour);
    ~CFakeHttpServer();

    CFakeHttpServer(const CFakeHttpServer&) = delete;
    CFakeHttpServer& operator=(const CFakeHttpServer&) = delete;

    // "http://127.0.0.1:<port>" followed by `path`.
    std::string Url(const std::string& path) const;
    // The heads of the requests received so far.
    std::vector<std::string> Requests() const;

private:
    void Serve();
    void Answer(int connection, const std::string& head);

    CUniqueFd m_listener;
    unsigned m_port = 0;
    Behaviour m_behaviour;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_requests;
    bool m_stopping = false;
    std::thread m_thread;
};

}  // namespace kit
