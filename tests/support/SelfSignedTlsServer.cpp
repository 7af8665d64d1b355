#include "tests/support/SelfSignedTlsServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kit {
namespace {

constexpr long kValiditySeconds = 3600;

// A context with a fresh P-256 key and a certificate for 127.0.0.1 signed by that key.
SSL_CTX* MakeSelfSignedContext() {
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* certificate = X509_new();
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    bool made = key != nullptr && certificate != nullptr && context != nullptr;
    if (made) {
        ASN1_INTEGER_set(X509_get_serialNumber(certificate), 1);
        X509_gmtime_adj(X509_getm_notBefore(certificate), 0);
        X509_gmtime_adj(X509_getm_notAfter(certificate), kValiditySeconds);
        X509_set_pubkey(certificate, key);
        X509_NAME* name = X509_get_subject_name(certificate);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
        X509_set_issuer_name(certificate, name);
        made = X509_sign(certificate, key, EVP_sha256()) > 0 &&
               SSL_CTX_use_certificate(context, certificate) == 1 &&
               SSL_CTX_use_PrivateKey(context, key) == 1;
    }
    X509_free(certificate);
    EVP_PKEY_free(key);
    if (!made) {
        SSL_CTX_free(context);
        return nullptr;
    }
    return context;
}

}  // namespace

CSelfSignedTlsServer::CSelfSignedTlsServer()
    : m_listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)),
      m_context(MakeSelfSignedContext()) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int stop[2];
    if (m_context == nullptr ||
        ::bind(m_listener.Get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::listen(m_listener.Get(), 8) != 0 || ::pipe2(stop, O_CLOEXEC) != 0) {
        return;
    }
    m_stopRead.Reset(stop[0]);
    m_stopWrite.Reset(stop[1]);
    socklen_t length = sizeof local;
    ::getsockname(m_listener.Get(), reinterpret_cast<sockaddr*>(&local), &length);
    m_port = ntohs(local.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

CSelfSignedTlsServer::~CSelfSignedTlsServer() {
    if (m_thread.joinable()) {
        [[maybe_unused]] const ssize_t written = ::write(m_stopWrite.Get(), "x", 1);
        m_thread.join();
    }
    SSL_CTX_free(static_cast<SSL_CTX*>(m_context));
}

std::string CSelfSignedTlsServer::Url(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(m_port) + path;
}

void CSelfSignedTlsServer::Serve() {
    pollfd watched[2] = {{m_listener.Get(), POLLIN, 0}, {m_stopRead.Get(), POLLIN, 0}};
    while (::poll(watched, 2, -1) >= 0 && (watched[1].revents & POLLIN) == 0) {
        const CUniqueFd connection(::accept4(m_listener.Get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!connection.IsOpen()) {
            continue;
        }
        SSL* tls = SSL_new(static_cast<SSL_CTX*>(m_context));
        SSL_set_fd(tls, connection.Get());
        SSL_accept(tls);  // the client refuses the certificate, and the handshake ends
        SSL_free(tls);
    }
}

}  // namespace kit
