#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "dns/DnsMessage.h"

// The question at offset 12 of a received query: its name as dotted text, its QTYPE and
// where it ends. Only that one question is decoded, whatever QDCOUNT says.
//
// Labels are taken as they arrive: every nonzero length byte is a plain label length
// (no 63-byte limit, no compression pointers), and label bytes are copied without any
// change of letter case or escaping. The name text lives in the object, so decoding a
// query needs no heap.
class CDnsQuestion {
public:
    // False when the message holds no complete question inside its first kDnsBufferSize
    // bytes: too short for a header, a name that runs past the end (or past that size), or
    // QTYPE and QCLASS not both inside. Nothing read is ever outside `length` bytes. The
    // message itself may be longer (a query over TCP); a datagram never is.
    bool Decode(const std::uint8_t* message, std::size_t length);

    // Labels joined by single dots, no trailing dot; empty for the root name.
    std::string_view Name() const { return {m_name, m_nameLength}; }
    std::uint16_t Type() const { return m_type; }
    // Offset right after QCLASS: the length of header plus question.
    std::size_t End() const { return m_end; }

private:
    char m_name[dns::kMaxNameLength];
    std::size_t m_nameLength = 0;
    std::uint16_t m_type = 0;
    std::size_t m_end = 0;
};
