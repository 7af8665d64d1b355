#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

#include <array>
#include <cstddef>
#include <cstdint>

// Datagrams read or sent several at a time: kCapacity slots of kSlotSize bytes, each with its
// peer's address, laid out as the message arrays CAsyncSocket::ReceiveBatch and SendBatch take.
class CDatagramBatch {
public:
    static constexpr unsigned kCapacity = 64;
    static constexpr std::size_t kSlotSize = 512;

    CDatagramBatch();

    CDatagramBatch(const CDatagramBatch&) = delete;
    CDatagramBatch& operator=(const CDatagramBatch&) = delete;

    // Every slot ready to receive a datagram of up to kSlotSize bytes and its sender.
    mmsghdr* ForReceiving();
    // Slot `i` after a receive: its bytes, its length (0 for one longer than kSlotSize, which
    // was cut), its sender.
    const std::uint8_t* Data(unsigned i) const { return m_data[i].data(); }
    std::size_t Length(unsigned i) const;
    const sockaddr_in& Address(unsigned i) const { return m_addresses[i]; }

    // Queues a datagram for `to`; false when the batch is full or it is longer than kSlotSize.
    bool Add(const sockaddr_in& to, const std::uint8_t* data, std::size_t length);
    unsigned Count() const { return m_count; }
    mmsghdr* Messages() { return m_messages.data(); }
    void Clear() { m_count = 0; }

private:
    void Point(unsigned i, std::size_t length);

    std::array<std::array<std::uint8_t, kSlotSize>, kCapacity> m_data{};
    std::array<sockaddr_in, kCapacity> m_addresses{};
    std::array<iovec, kCapacity> m_vectors{};
    std::array<mmsghdr, kCapacity> m_messages{};
    unsigned m_count = 0;
};
