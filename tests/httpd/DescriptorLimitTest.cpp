#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <ctime>
#include <memory>
#include <vector>

#include "ImageServerFixture.h"
#include "httpd/RequestSocket.h"

namespace {

constexpr int kMeasureMs = 300;
// A loop that spins would use about all of the interval; one that waits uses almost none.
constexpr double kMaxCpuShare = 0.2;

double ProcessCpuMs() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Lowers the soft descriptor limit a little above what is open and takes every free
// descriptor below it; Release hands them back one at a time. The destructor restores all.
class DescriptorSqueeze {
public:
    DescriptorSqueeze() {
        ::getrlimit(RLIMIT_NOFILE, &m_saved);
        int highest = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        ::close(highest);
        rlimit lowered = m_saved;
        lowered.rlim_cur = static_cast<rlim_t>(highest + 16);
        ::setrlimit(RLIMIT_NOFILE, &lowered);
        for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;) {
            m_taken.push_back(fd);
        }
    }
    ~DescriptorSqueeze() {
        for (const int fd : m_taken) {
            ::close(fd);
        }
        ::setrlimit(RLIMIT_NOFILE, &m_saved);
    }
    DescriptorSqueeze(const DescriptorSqueeze&) = delete;
    DescriptorSqueeze& operator=(const DescriptorSqueeze&) = delete;

    void Release(int count) {
        for (int i = 0; i < count && !m_taken.empty(); ++i) {
            ::close(m_taken.back());
            m_taken.pop_back();
        }
    }

private:
    rlimit m_saved{};
    std::vector<int> m_taken;
};

using DescriptorLimitTest = ImageServerFixture;

TEST_F(DescriptorLimitTest, AcceptFailingForLackOfDescriptorsLosesOnlyThatConnection) {
    WriteAllImages();
    std::vector<std::unique_ptr<TestClient>> idle;
    for (int i = 1; i <= 3; ++i) {
        idle.push_back(std::make_unique<TestClient>(Port()));
        ASSERT_TRUE(DispatchUntil([&] { return CRequestSocket::LiveCount() == i; }));
    }
    {
        DescriptorSqueeze squeeze;
        squeeze.Release(1);
        TestClient newest(Port());  // takes the one free descriptor
        ASSERT_TRUE(newest.IsConnected());

        const double cpuBefore = ProcessCpuMs();
        DispatchFor(kMeasureMs);
        EXPECT_LT(ProcessCpuMs() - cpuBefore, kMeasureMs * kMaxCpuShare);
        EXPECT_EQ(CRequestSocket::LiveCount(), 3);
        for (auto& client : idle) {
            client->ReadAvailable();
            EXPECT_FALSE(client->Ended());
        }

        // An idle client leaving frees its descriptor and the server's: the waiting
        // connection is accepted and served.
        idle.erase(idle.begin());
        SendAll(newest, "GET / HTTP/1.0\r\n\r\n");
        ASSERT_TRUE(ReadToEnd(newest));
        EXPECT_EQ(newest.Received().substr(0, kSuccessHeader.size()), kSuccessHeader);
    }
    for (auto& client : idle) {
        SendAll(*client, "GET / HTTP/1.0\r\n\r\n");
        ASSERT_TRUE(ReadToEnd(*client));
        EXPECT_EQ(client->Received().substr(0, kSuccessHeader.size()), kSuccessHeader);
    }
}

TEST_F(DescriptorLimitTest, IdleClientsCostNoCpu) {
    constexpr int kSilent = 10;
    constexpr int kUnfinished = 10;
    std::vector<std::unique_ptr<TestClient>> clients;
    for (int i = 1; i <= kSilent + kUnfinished; ++i) {
        clients.push_back(std::make_unique<TestClient>(Port()));
        ASSERT_TRUE(DispatchUntil([&] { return CRequestSocket::LiveCount() == i; }));
        if (i > kSilent) {
            SendAll(*clients.back(), std::string(1024, 'x'));
        }
    }
    ASSERT_TRUE(DispatchUntil([&] { return m_host.raised >= kUnfinished; }));

    const double cpuBefore = ProcessCpuMs();
    DispatchFor(kMeasureMs);
    EXPECT_LT(ProcessCpuMs() - cpuBefore, kMeasureMs * kMaxCpuShare);
    EXPECT_EQ(CRequestSocket::LiveCount(), kSilent + kUnfinished);
    for (auto& client : clients) {
        client->ReadAvailable();
        EXPECT_TRUE(client->Received().empty());
        EXPECT_FALSE(client->Ended());
    }
}

}  // namespace
