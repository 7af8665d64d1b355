#pragma once

#include "net/AsyncSocket.h"

class CRandomGenerator;
class IImageServerHost;
class ProfileStore;

// The image server's listening socket. Each waiting connection is accepted into a new
// CRequestSocket, which then lives on its own. Owned by CImageServer.
class CListenSocket : public CAsyncSocket {
public:
    CListenSocket(IImageServerHost& host, const ProfileStore& profile, CRandomGenerator& random);

protected:
    void OnAccept(int errorCode) override;

private:
    IImageServerHost& m_host;
    const ProfileStore& m_profile;
    CRandomGenerator& m_random;
};
