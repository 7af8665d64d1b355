#pragma once

#include <string>
#include <vector>

#include "httpd/ImageFile.h"
#include "net/AsyncSocket.h"

class CConnectionRoster;
class CKeptProfile;
class CRandomGenerator;
class IImageServerHost;

// One accepted HTTP connection. It reads one request without interpreting it, answers
// with an image file, the built-in picture or a refusal, and closes.
//
// Reading (FD_READ | FD_CLOSE) -> sending (FD_WRITE | FD_CLOSE) -> ended. The object
// belongs to nobody: it is created with new by the listener and deletes itself as the
// last action of the handler that ends its connection, or of the roster's sweep when it made
// no progress for too long.
class CRequestSocket : public CAsyncSocket {
public:
    // Draws this connection's image (a file in `imageFolder`) and reads "Images"; both hold
    // for its whole life. It leaves `roster` when it ends.
    CRequestSocket(IImageServerHost& host, CKeptProfile& settings, const std::string& imageFolder,
                   CRandomGenerator& random, CConnectionRoster& roster);
    ~CRequestSocket() override;
    CRequestSocket(const CRequestSocket&) = delete;
    CRequestSocket& operator=(const CRequestSocket&) = delete;

    // Connection objects currently alive in this thread's server.
    static int LiveCount();

    // For the roster's sweep: whether bytes were received or sent since the last call; the
    // bytes of the reply the client has not acknowledged yet, -1 before there is a reply.
    bool TakeProgress();
    int UnacknowledgedBytes() const;
    // Closes a connection that made no progress, without a reply, and deletes it.
    void Expire();
    // The roster is going: nothing is reported to it any more.
    void ForgetRoster() { m_roster = nullptr; }

protected:
    void OnReceive(int errorCode) override;
    void OnSend(int errorCode) override;
    void OnClose(int errorCode) override;

private:
    // Prepares the reply that httpd::ChooseReply picks.
    void PrepareReply();
    void PrepareImageFileReply();
    void PrepareBuiltInReply();
    void AppendToReply(const char* text, int length);
    bool PeerIsLocalHost() const;

    // The four endings; each deletes the object, so its caller returns at once.
    void Reject();
    void Complete();
    // Reads and drops what the client sent after its request, so that the close is graceful.
    void DiscardUnreadData();
    void FailSend();
    void ResetByPeerClose();

    void RaiseActivity();
    void LowerActivity();

    std::vector<char> m_reply;  // unsent reply bytes, kept at its front
    int m_pending = 0;          // bytes at the front of m_reply still to be sent
    CImageFile m_imageFile;
    std::string m_imagePath;
    int m_useImages = 0;
    bool m_replyReady = false;
    IImageServerHost* m_host;
    int m_receiveCount = 0;
    int m_status = 0;  // HTTP status of the prepared reply, 0 while there is none
    std::string m_imageName;
    CConnectionRoster* m_roster;
    bool m_progressed = false;
};
