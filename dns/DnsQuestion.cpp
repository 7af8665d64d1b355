#include "dns/DnsQuestion.h"

#include <algorithm>

#include "dns/DnsReader.h"

bool CDnsQuestion::Decode(const std::uint8_t* message, std::size_t length) {
    m_nameLength = 0;
    // A longer message (over TCP) is read no further than the question may reach.
    CDnsReader reader(message, std::min(length, dns::kDnsBufferSize), dns::kQuestionOffset);
    std::uint8_t labelLength = 0;
    if (!reader.ReadByte(labelLength)) {
        return false;
    }
    while (labelLength != 0) {
        const std::uint8_t* label = nullptr;
        if (!reader.ReadBytes(labelLength, label)) {
            return false;
        }
        // The name text is always shorter than the wire name it came from, and the wire
        // name fits the message buffer, so the text fits m_name.
        if (m_nameLength != 0) {
            m_name[m_nameLength++] = '.';
        }
        std::copy(label, label + labelLength, m_name + m_nameLength);
        m_nameLength += labelLength;
        if (!reader.ReadByte(labelLength)) {
            return false;
        }
    }
    // QCLASS is not looked at, but a question without it is incomplete.
    if (!reader.ReadUint16(m_type) || !reader.Skip(sizeof(std::uint16_t))) {
        return false;
    }
    m_end = reader.Offset();
    return true;
}
