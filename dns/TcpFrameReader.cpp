#include "dns/TcpFrameReader.h"

namespace {
constexpr std::size_t kLengthSize = 2;
}

void CTcpFrameReader::Append(const std::uint8_t* data, std::size_t length) {
    // What was taken goes first, so the buffer only grows with what is still unread.
    m_bytes.erase(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(m_head));
    m_head = 0;
    m_bytes.insert(m_bytes.end(), data, data + length);
}

bool CTcpFrameReader::Next(const std::uint8_t*& message, std::size_t& length) {
    const std::size_t waiting = m_bytes.size() - m_head;
    if (waiting < kLengthSize) {
        return false;
    }
    const std::size_t announced =
        static_cast<std::size_t>(m_bytes[m_head] << 8) | m_bytes[m_head + 1];
    if (waiting - kLengthSize < announced) {
        return false;
    }
    message = m_bytes.data() + m_head + kLengthSize;
    length = announced;
    m_head += kLengthSize + announced;
    return true;
}
