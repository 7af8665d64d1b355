#include "net/ServiceFailure.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "net/SocketErrors.h"

namespace {

struct FailureCase {
    const char* name;
    int socketType;
    int socketError;
    std::string expected;
};

class ServiceFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ServiceFailureTest, NamesTheAddressTheReasonAndTheRemedy) {
    EXPECT_EQ(ServiceFailureLine("Nimbrel", "bind", "127.0.0.1", 53, GetParam().socketType,
                                 GetParam().socketError),
              "Nimbrel: cannot bind 127.0.0.1:53: " + GetParam().expected);
}

const std::string kThisProgram = std::filesystem::read_symlink("/proc/self/exe").string();

INSTANTIATE_TEST_SUITE_P(
    Reasons, ServiceFailureTest,
    ::testing::Values(
        FailureCase{"DatagramPortInUse", SOCK_DGRAM, EADDRINUSE,
                    "Address already in use; the program that holds the port: sudo ss -lunp "
                    "'sport = :53'"},
        FailureCase{"StreamPortInUse", SOCK_STREAM, EADDRINUSE,
                    "Address already in use; the program that holds the port: sudo ss -ltnp "
                    "'sport = :53'"},
        FailureCase{"MissingRight", SOCK_DGRAM, EACCES,
                    "Permission denied; the right to bind it: sudo setcap "
                    "cap_net_bind_service=+ep " +
                        kThisProgram},
        FailureCase{"OtherReasonHasNoRemedy", SOCK_STREAM, EADDRNOTAVAIL,
                    "Cannot assign requested address"},
        FailureCase{"LayerCodeIsTheSystemsOwn", SOCK_STREAM, WSAEINVAL, "Invalid argument"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
