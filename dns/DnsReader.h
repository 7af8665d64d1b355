#pragma once

#include <cstddef>
#include <cstdint>

// Reads a received message front to back and cannot read past its end: every read
// reports whether the bytes were there, and a failed read moves nothing.
class CDnsReader {
public:
    CDnsReader(const std::uint8_t* data, std::size_t length, std::size_t offset)
        : m_data(data), m_length(length), m_offset(offset) {}

    std::size_t Offset() const { return m_offset; }
    std::size_t Remaining() const { return m_offset < m_length ? m_length - m_offset : 0; }

    bool ReadByte(std::uint8_t& value) {
        if (Remaining() < 1) {
            return false;
        }
        value = m_data[m_offset++];
        return true;
    }

    bool ReadUint16(std::uint16_t& value) {
        if (Remaining() < 2) {
            return false;
        }
        value = static_cast<std::uint16_t>((m_data[m_offset] << 8) | m_data[m_offset + 1]);
        m_offset += 2;
        return true;
    }

    // Hands out the next `count` bytes in place.
    bool ReadBytes(std::size_t count, const std::uint8_t*& bytes) {
        if (Remaining() < count) {
            return false;
        }
        bytes = m_data + m_offset;
        m_offset += count;
        return true;
    }

    bool Skip(std::size_t count) {
        if (Remaining() < count) {
            return false;
        }
        m_offset += count;
        return true;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_length;
    std::size_t m_offset;
};
