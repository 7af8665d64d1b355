#include "net/DatagramBatch.h"

#include <algorithm>

CDatagramBatch::CDatagramBatch() = default;

void CDatagramBatch::Point(unsigned i, std::size_t length) {
    m_vectors[i] = iovec{m_data[i].data(), length};
    msghdr& header = m_messages[i].msg_hdr;
    header = msghdr{};
    header.msg_name = &m_addresses[i];
    header.msg_namelen = sizeof m_addresses[i];
    header.msg_iov = &m_vectors[i];
    header.msg_iovlen = 1;
    m_messages[i].msg_len = 0;
}

mmsghdr* CDatagramBatch::ForReceiving() {
    for (unsigned i = 0; i < kCapacity; ++i) {
        Point(i, kSlotSize);
    }
    m_count = 0;
    return m_messages.data();
}

std::size_t CDatagramBatch::Length(unsigned i) const {
    const mmsghdr& message = m_messages[i];
    const bool cut = (message.msg_hdr.msg_flags & MSG_TRUNC) != 0 || message.msg_len > kSlotSize;
    return cut ? 0 : message.msg_len;
}

bool CDatagramBatch::Add(const sockaddr_in& to, const std::uint8_t* data, std::size_t length) {
    if (m_count == kCapacity || length > kSlotSize) {
        return false;
    }
    std::copy_n(data, length, m_data[m_count].begin());
    m_addresses[m_count] = to;
    Point(m_count, length);
    ++m_count;
    return true;
}
