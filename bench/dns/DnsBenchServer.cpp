// Hosts the DNS engine on a loopback port for load tests:
//
//   dns_bench_server FOLDER PORT [UPSTREAM_ADDRESS UPSTREAM_PORT]
//
// FOLDER holds named.txt and pass.txt and receives the profile. With an upstream, every
// name in neither list is relayed to it ("UseCode" 10000). Prints the load time once it
// listens; on SIGTERM or SIGINT prints the datagrams handled and the heap allocations
// made while serving them, then ends.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "AllocationCounter.h"
#include "dns/ActivitySink.h"
#include "dns/DnsSocket.h"
#include "dns/FilterLists.h"
#include "dns/UpstreamRelay.h"
#include "net/Reactor.h"
#include "settings/ProfileStore.h"

namespace {

constexpr int kNotNamedOnFirstServer = 10000;

// Counts the datagrams that reach the socket's handler.
class CCountingActivity : public IActivitySink {
public:
    int Activity() const override { return m_state; }
    void SetActivity(int state) override {
        m_state = state;
        if (state == kQueryArrived) {
            ++m_datagrams;
        }
    }
    unsigned long long Datagrams() const { return m_datagrams; }

private:
    int m_state = kIdle;
    unsigned long long m_datagrams = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: %s FOLDER PORT [UPSTREAM_ADDRESS UPSTREAM_PORT]\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const unsigned port = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10));
    const bool relays = argc == 5;
    const unsigned upstreamPort =
        relays ? static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10)) : dns::kDnsPort;

    ProfileStore profile(folder + "/NIMBREL.INI");
    profile.WriteString("Preferences", "FilterPath", folder);
    profile.WriteString("Proxy", "IP1", relays ? argv[3] : "");
    profile.WriteInt("Proxy", "UseCode", relays ? kNotNamedOnFirstServer : 0);

    CReactor reactor;
    CCountingActivity activity;
    CFilterLists filters(profile, &activity);
    CUpstreamRelay relay(profile, &activity, upstreamPort);

    const auto loadStart = std::chrono::steady_clock::now();
    filters.LoadFilters();
    relay.LoadProxyServers();
    const auto loadTime = std::chrono::steady_clock::now() - loadStart;

    CDnsSocket server(filters, relay, profile, &activity);
    if (!reactor.IsValid() ||
        !server.Create(port, SOCK_DGRAM, FD_READ, CDnsSocket::kServiceAddress)) {
        std::fprintf(stderr, "cannot listen on %s:%u\n", CDnsSocket::kServiceAddress, port);
        return 1;
    }
    reactor.PostOnSignal(SIGTERM, [&reactor] { reactor.Quit(); });
    reactor.PostOnSignal(SIGINT, [&reactor] { reactor.Quit(); });
    std::printf("listening on %s:%u; lists loaded in %.1f ms\n", CDnsSocket::kServiceAddress, port,
                std::chrono::duration<double, std::milli>(loadTime).count());
    std::fflush(stdout);

    const std::uint64_t allocationsBefore = HeapAllocationCount();
    reactor.Run();
    std::printf("datagrams %llu heap-allocations %llu\n", activity.Datagrams(),
                static_cast<unsigned long long>(HeapAllocationCount() - allocationsBefore));
    return 0;
}
