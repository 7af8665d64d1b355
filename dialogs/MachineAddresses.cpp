#include "dialogs/MachineAddresses.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>

#include "dialogs/Ipv4Text.h"

namespace {

// Room for the longest host name and its terminator.
constexpr std::size_t kHostNameRoom = 257;

}  // namespace

std::vector<std::string> LookUpMachineAddresses() {
    std::array<char, kHostNameRoom> name{};
    if (::gethostname(name.data(), name.size() - 1) != 0) {
        return {};
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    // One entry per address rather than one per socket type.
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(name.data(), nullptr, &hints, &found) != 0) {
        return {};
    }
    std::vector<std::string> addresses;
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addr != nullptr) {
            const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
            addresses.push_back(AddressText(ntohl(address->sin_addr.s_addr)));
        }
    }
    ::freeaddrinfo(found);
    return addresses;
}
