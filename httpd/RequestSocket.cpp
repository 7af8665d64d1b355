#include "httpd/RequestSocket.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>

#include "httpd/ConnectionRoster.h"
#include "httpd/ImageServerHost.h"
#include "httpd/RandomGenerator.h"
#include "httpd/ReplyChoice.h"
#include "httpd/RequestReading.h"
#include "net/Sys.h"
#include "settings/KeptProfile.h"
#include "settings/ProfileKeys.h"

namespace {

// The reply goes out in chunks of the request buffer's size.
constexpr int kReplyBufferSize = httpd::kRequestBufferSize;
// Bound on the reads that drop data sent after the request, against a client that never stops.
constexpr int kMaxDiscardReceives = 32;
constexpr int kImageCount = 6;
constexpr int kStatusOk = 200;
constexpr int kStatusNotFound = 404;

constexpr long kReadEvents = FD_READ | FD_CLOSE;
constexpr long kWriteEvents = FD_WRITE | FD_CLOSE;

// The one peer the server answers.
constexpr const char* kLocalHost = "127.0.0.1";

constexpr int kImagesDefault = 1;

constexpr char kSuccessHeader[] = "HTTP/1.0 200 Okay\r\nContent-type: image/gif\r\n\r\n";
constexpr char kRefusalLine[] = "HTTP/1.0 404 Lost Dog\r\n";
constexpr char kLineEnd[] = "\r\n";
constexpr int kSuccessHeaderLength = sizeof kSuccessHeader - 1;

// A transparent 1 x 1 GIF89a.
constexpr unsigned char kBuiltInPicture[] = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00,
    0x00, 0xFF, 0xFF, 0xCC, 0x21, 0xF9, 0x04, 0x05, 0x14, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00,
    0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
constexpr int kBuiltInReplyLength = kSuccessHeaderLength + sizeof kBuiltInPicture;
static_assert(kBuiltInReplyLength == 89);

int g_liveCount = 0;

std::string ImageName(int draw) {
    std::string name = "image.";
    name += static_cast<char>('0' + draw % kImageCount);
    name += ".gif";
    return name;
}

}  // namespace

CRequestSocket::CRequestSocket(IImageServerHost& host, CKeptProfile& settings,
                               const std::string& imageFolder, CRandomGenerator& random,
                               CConnectionRoster& roster)
    : m_reply(kReplyBufferSize),
      m_host(&host),
      m_imageName(ImageName(random.Next())),
      m_roster(&roster) {
    m_imagePath = imageFolder.empty() ? m_imageName : imageFolder + '/' + m_imageName;
    m_useImages = settings.ReadInt(profile::kPreferences, profile::kImages, kImagesDefault);
    ++g_liveCount;
}

CRequestSocket::~CRequestSocket() {
    LowerActivity();
    m_imageFile.Close();
    if (Handle() != INVALID_SOCKET) {
        ShutDown(SHUT_RDWR);
        Close();
    }
    if (m_roster != nullptr) {
        m_roster->Remove(*this);
    }
    --g_liveCount;
}

int CRequestSocket::LiveCount() {
    return g_liveCount;
}

bool CRequestSocket::TakeProgress() {
    const bool progressed = m_progressed;
    m_progressed = false;
    return progressed;
}

int CRequestSocket::UnacknowledgedBytes() const {
    int count = 0;
    if (!m_replyReady || sys::BytesUnacknowledged(Handle(), count) != 0) {
        return -1;
    }
    return count;
}

void CRequestSocket::Expire() {
    LowerActivity();
    AsyncSelect(0);
    if (m_replyReady) {
        // The rest of the reply can no longer reach the client: reset, so that the kernel
        // does not keep trying to deliver it.
        const linger reset{1, 0};
        SetSockOpt(SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    } else {
        ShutDown(SHUT_RDWR);
    }
    Close();
    delete this;
}

void CRequestSocket::OnReceive(int /*errorCode*/) {
    // Data announced after the request was complete is not read into the buffer, which
    // holds the reply from then on; the completion discards it.
    if (m_replyReady) {
        return;
    }
    RaiseActivity();
    ++m_receiveCount;
    if (!PeerIsLocalHost()) {
        Reject();
        return;
    }
    const int received = Receive(m_reply.data(), kReplyBufferSize, 0);
    if (received == SOCKET_ERROR) {
        return;
    }
    m_progressed = true;
    // The request itself plays no part in the reply.
    m_reply.assign(kReplyBufferSize, 0);
    switch (httpd::NextReadStep(received, m_receiveCount)) {
        case httpd::ReadStep::kComplete:
            m_replyReady = true;
            if (m_pending == 0) {
                PrepareReply();
            }
            AsyncSelect(kWriteEvents);
            return;
        case httpd::ReadStep::kKeepReading:
            AsyncSelect(kReadEvents);
            return;
        case httpd::ReadStep::kRefuse:
            Reject();
            return;
    }
}

void CRequestSocket::OnSend(int /*errorCode*/) {
    if (!m_replyReady) {
        return;
    }
    RaiseActivity();
    const int sent = Send(m_reply.data(), m_pending, MSG_DONTROUTE);
    if (sent == SOCKET_ERROR) {
        LowerActivity();
        if (WSAGetLastError() == WSAEWOULDBLOCK) {
            AsyncSelect(kWriteEvents);
            return;
        }
        FailSend();
        return;
    }
    m_progressed = m_progressed || sent > 0;
    if (sent < m_pending) {
        // The unsent rest moves to the front and the buffer keeps the shorter size, so the
        // following file chunks are read at that size.
        m_host->UpdateActivityIcon();
        m_reply.erase(m_reply.begin(), m_reply.begin() + sent);
        m_pending -= sent;
        AsyncSelect(kWriteEvents);
        return;
    }
    if (m_useImages != 0 && m_imageFile.IsOpen()) {
        const int read = m_imageFile.Read(m_reply.data(), static_cast<int>(m_reply.size()));
        if (read > 0) {
            m_pending = read;
        } else {
            m_imageFile.Close();
        }
    }
    if (m_imageFile.IsOpen()) {
        AsyncSelect(kWriteEvents);
        return;
    }
    Complete();
}

void CRequestSocket::OnClose(int /*errorCode*/) {
    ResetByPeerClose();
}

void CRequestSocket::PrepareReply() {
    bool exists = false;
    bool opened = false;
    if (m_useImages != 0) {
        RaiseActivity();
        LowerActivity();
        exists = CImageFile::Exists(m_imagePath);
        RaiseActivity();
        opened = exists && m_imageFile.Open(m_imageName);
    }
    const httpd::ReplyKind reply = httpd::ChooseReply(m_useImages, exists, opened);
    m_host->CountRequest(reply == httpd::ReplyKind::kBuiltInPicture ||
                                 reply == httpd::ReplyKind::kImageFile
                             ? httpd::RequestOutcome::kPicture
                             : httpd::RequestOutcome::kNoPicture);
    switch (reply) {
        case httpd::ReplyKind::kBuiltInPicture:
            PrepareBuiltInReply();
            break;
        case httpd::ReplyKind::kNotFound:
            AppendToReply(kRefusalLine, sizeof kRefusalLine - 1);
            m_status = kStatusNotFound;
            break;
        case httpd::ReplyKind::kLineEnd:
            AppendToReply(kLineEnd, sizeof kLineEnd - 1);
            break;
        case httpd::ReplyKind::kImageFile:
            PrepareImageFileReply();
            break;
    }
}

void CRequestSocket::PrepareImageFileReply() {
    m_status = kStatusOk;
    AppendToReply(kSuccessHeader, kSuccessHeaderLength);
    m_host->UpdateActivityIcon();
    const int read =
        m_imageFile.Read(m_reply.data() + m_pending, static_cast<int>(m_reply.size()) - m_pending);
    if (read > 0) {
        m_pending += read;
    } else {
        m_imageFile.Close();
    }
}

void CRequestSocket::PrepareBuiltInReply() {
    RaiseActivity();
    if (m_pending != 0) {
        return;
    }
    m_status = kStatusOk;
    m_reply.resize(kBuiltInReplyLength);
    std::memcpy(m_reply.data(), kSuccessHeader, kSuccessHeaderLength);
    std::memcpy(m_reply.data() + kSuccessHeaderLength, kBuiltInPicture, sizeof kBuiltInPicture);
    m_pending = kBuiltInReplyLength;
}

void CRequestSocket::AppendToReply(const char* text, int length) {
    if (m_pending + length > static_cast<int>(m_reply.size())) {
        m_reply.resize(m_pending + (length / kReplyBufferSize + 1) * kReplyBufferSize);
    }
    std::memcpy(m_reply.data() + m_pending, text, length);
    m_pending += length;
}

bool CRequestSocket::PeerIsLocalHost() const {
    std::string address;
    unsigned port = 0;
    return GetPeerName(address, port) && address == kLocalHost;
}

void CRequestSocket::Reject() {
    m_host->CountRequest(httpd::RequestOutcome::kRefused);
    ShutDown(SHUT_RDWR);
    Close();
    delete this;
}

void CRequestSocket::Complete() {
    LowerActivity();
    AsyncSelect(0);
    // A fresh socket has keep-alive and linger off already: the close is graceful and does
    // not wait for the peer.
    DiscardUnreadData();
    ShutDown(SHUT_RDWR);
    Close();
    delete this;
}

void CRequestSocket::DiscardUnreadData() {
    // Closing with unread data would reset the connection and throw away the end of the
    // reply still on its way to the client.
    char sink[kReplyBufferSize];
    for (int drained = 0; drained < kMaxDiscardReceives; ++drained) {
        if (Receive(sink, sizeof sink, 0) < static_cast<int>(sizeof sink)) {
            return;
        }
    }
}

void CRequestSocket::FailSend() {
    LowerActivity();
    AsyncSelect(0);
    Close();
    delete this;
}

void CRequestSocket::ResetByPeerClose() {
    LowerActivity();
    ShutDown(SHUT_WR);
    // Linger on with no time: closing resets the connection.
    const linger reset{1, 0};
    SetSockOpt(SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    Close();
    delete this;
}

void CRequestSocket::RaiseActivity() {
    m_host->SetActivityFlag(true);
    m_host->UpdateActivityIcon();
}

void CRequestSocket::LowerActivity() {
    m_host->SetActivityFlag(false);
    m_host->UpdateActivityIcon();
}
