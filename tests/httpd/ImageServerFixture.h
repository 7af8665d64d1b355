#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "FakeServerHost.h"
#include "TestClient.h"
#include "httpd/ImageServer.h"
#include "net/Reactor.h"
#include "settings/ProfileStore.h"

// A running image server on an ephemeral loopback port, working in a fresh temporary
// folder that is the current directory for the test's duration. The test drives the
// server's reactor itself, between steps of its clients.
class ImageServerFixture : public ::testing::Test {
protected:
    static constexpr std::string_view kSuccessHeader =
        "HTTP/1.0 200 Okay\r\nContent-type: image/gif\r\n\r\n";
    static constexpr std::string_view kRefusalLine = "HTTP/1.0 404 Lost Dog\r\n";
    static constexpr int kDispatchSliceMs = 5;

    void SetUp() override;
    void TearDown() override;

    // Dispatches until `done` holds, waiting up to `sliceMs` for readiness between checks;
    // false if it still does not hold after a generous while.
    bool DispatchUntil(const std::function<bool()>& done, int sliceMs = kDispatchSliceMs);
    // Dispatches for about `ms` milliseconds of wall time.
    void DispatchFor(int ms);

    // Sends all of `data`, letting the server read while the client's buffer is full.
    void SendAll(TestClient& client, std::string_view data);
    // Reads until the server ends the connection.
    bool ReadToEnd(TestClient& client);
    // One whole exchange on a new connection: the bytes the server sent.
    std::string Fetch(std::string_view request = "GET / HTTP/1.0\r\n\r\n");

    // Makes the connections accepted from now on take no more unsent data than one
    // segment per send (they inherit the setting from the listening socket), so that sends
    // come back short and would block whenever the client lags behind.
    void LimitServerUnsentData();

    void WriteImage(int digit, std::string_view content);
    // image.0.gif to image.5.gif, each with content ImageContent(digit).
    void WriteAllImages();
    static std::string ImageContent(int digit);
    void SetImagesSetting(int value);

    const std::string& Folder() const { return m_folder; }
    unsigned Port() const { return m_server->Port(); }

    CReactor m_reactor;
    FakeServerHost m_host;
    std::unique_ptr<ProfileStore> m_profile;
    std::unique_ptr<CImageServer> m_server;

private:
    std::string m_folder;
    std::string m_previousFolder;
};
