#pragma once

#include <string>
#include <thread>

#include "base/UniqueFd.h"

namespace kit {

// A TLS server on 127.0.0.1 whose certificate (for 127.0.0.1, made at construction) no
// authority signed: it offers the handshake on every connection and serves nothing, so a
// client that checks certificates must refuse it.
class CSelfSignedTlsServer {
public:
    CSelfSignedTlsServer();
    ~CSelfSignedTlsServer();

    CSelfSignedTlsServer(const CSelfSignedTlsServer&) = delete;
    CSelfSignedTlsServer& operator=(const CSelfSignedTlsServer&) = delete;

    bool IsListening() const { return m_thread.joinable(); }
    // "https://127.0.0.1:<port>" followed by `path`.
    std::string Url(const std::string& path) const;

private:
    void Serve();

    CUniqueFd m_listener;
    CUniqueFd m_stopRead;
    CUniqueFd m_stopWrite;
    unsigned m_port = 0;
    void* m_context = nullptr;  // the SSL_CTX
    std::thread m_thread;
};

}  // namespace kit
