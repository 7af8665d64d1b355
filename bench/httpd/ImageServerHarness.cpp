// Hosts the image server on a loopback port for load measurements. It serves the image
// files of the current directory, reads its settings from the profile given, prints the
// port it listens on and runs until SIGTERM or SIGINT.
//
//   httpd_bench_server PORT PROFILE

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "httpd/ImageServer.h"
#include "httpd/ImageServerHost.h"
#include "net/Reactor.h"
#include "settings/ProfileStore.h"

namespace {

// A main window with no tray icon to draw.
class CHeadlessHost : public IImageServerHost {
public:
    void SetActivityFlag(bool /*active*/) override {}
    void UpdateActivityIcon() override {}
    void SetDefaultMenuItem(int /*position*/) override {}
    void CountRequest(httpd::RequestOutcome /*outcome*/) override {}
};
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PORT PROFILE\n", argv[0]);
        return 2;
    }
    CReactor reactor;
    if (!reactor.IsValid()) {
        return 1;
    }
    const ProfileStore profile(argv[2]);
    CHeadlessHost host;
    CImageServer server(host, profile, static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)));
    server.StartImageServer();
    if (!server.IsRunning()) {
        return 1;
    }
    reactor.PostOnSignal(SIGTERM, [&reactor] { reactor.Quit(); });
    reactor.PostOnSignal(SIGINT, [&reactor] { reactor.Quit(); });
    std::printf("%u\n", server.Port());
    std::fflush(stdout);
    reactor.Run();
    server.StopImageServer();
    return 0;
}
