#pragma once

#include <string>

#include "net/AsyncSocket.h"

class CConnectionRoster;
class CKeptProfile;
class CRandomGenerator;
class IImageServerHost;

// The image server's listening socket. Each waiting connection is accepted into a new
// CRequestSocket, which then lives on its own, known to the roster. While the roster is
// full, waiting connections stay in the queue. Owned by CImageServer.
class CListenSocket : public CAsyncSocket {
public:
    // None of the references is owned; all belong to the image server and outlive it.
    CListenSocket(IImageServerHost& host, CKeptProfile& settings, const std::string& imageFolder,
                  CRandomGenerator& random, CConnectionRoster& roster);
    ~CListenSocket() override;
    CListenSocket(const CListenSocket&) = delete;
    CListenSocket& operator=(const CListenSocket&) = delete;

protected:
    void OnAccept(int errorCode) override;

private:
    IImageServerHost& m_host;
    CKeptProfile& m_settings;
    const std::string& m_imageFolder;
    CRandomGenerator& m_random;
    CConnectionRoster& m_roster;
};
