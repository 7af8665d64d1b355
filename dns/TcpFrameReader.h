#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Splits the bytes of one DNS-over-TCP stream into its messages: each message comes after its
// length in two bytes, big-endian, and both may arrive split at any byte. A length of 0 gives
// an empty message. The reader keeps what has arrived and not been taken yet; it never holds
// more than one read's bytes beyond one unfinished message.
class CTcpFrameReader {
public:
    // Adds the next `length` bytes of the stream.
    void Append(const std::uint8_t* data, std::size_t length);

    // The next complete message: false when none is complete yet. `message` then points at
    // `length` bytes inside the reader, valid until the next Append.
    bool Next(const std::uint8_t*& message, std::size_t& length);

    // Some bytes of a message that is not complete yet have arrived.
    bool HoldsPartialMessage() const { return m_head != m_bytes.size(); }

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_head = 0;  // where the first message not taken yet starts
};
