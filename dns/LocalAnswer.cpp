#include "dns/LocalAnswer.h"

#include <algorithm>

namespace dns {
namespace {

// "localhost" as a name written out in full.
constexpr std::array<std::uint8_t, 11> kLocalhostName = {9,   'l', 'o', 'c', 'a', 'l',
                                                         'h', 'o', 's', 't', 0};

// Writes big-endian fields into the buffer; callers check that they fit first.
class CAnswerWriter {
public:
    CAnswerWriter(MessageBuffer& buffer, std::size_t offset) : m_buffer(buffer), m_offset(offset) {}

    std::size_t Offset() const { return m_offset; }

    void Byte(std::uint8_t value) { m_buffer[m_offset++] = value; }
    void Uint16(std::uint16_t value) {
        Byte(static_cast<std::uint8_t>(value >> 8));
        Byte(static_cast<std::uint8_t>(value));
    }
    void Uint32(std::uint32_t value) {
        Uint16(static_cast<std::uint16_t>(value >> 16));
        Uint16(static_cast<std::uint16_t>(value));
    }
    template <std::size_t N>
    void Bytes(const std::array<std::uint8_t, N>& bytes) {
        std::copy(bytes.begin(), bytes.end(), m_buffer.begin() + m_offset);
        m_offset += N;
    }

private:
    MessageBuffer& m_buffer;
    std::size_t m_offset;
};

bool Fits(std::size_t questionEnd, std::size_t recordSize) {
    return questionEnd >= kHeaderSize && questionEnd <= kDnsBufferSize &&
           recordSize <= kDnsBufferSize - questionEnd;
}

// Flags and counts of a local answer with `answers` records and nothing else. ID and
// QDCOUNT stay as the query had them.
void WriteAnswerHeader(MessageBuffer& buffer, std::uint16_t answers) {
    buffer[kFlagsOffset] = kAnswerFlagsHigh;
    buffer[kFlagsOffset + 1] = kAnswerFlagsLow;
    CAnswerWriter counts(buffer, kAnCountOffset);
    counts.Uint16(answers);
    counts.Uint16(0);
    counts.Uint16(0);
}

// The answer record's owner name (a pointer to the question's name), type and class.
void WriteRecordStart(CAnswerWriter& record, std::uint16_t type) {
    record.Byte(kNamePointerHigh);
    record.Byte(kNamePointerLow);
    record.Uint16(type);
    record.Uint16(kClassIn);
}

}  // namespace

std::size_t BuildAddressAnswer(MessageBuffer& buffer, std::size_t questionEnd,
                               const std::array<std::uint8_t, 4>& address) {
    if (!Fits(questionEnd, kAddressAnswerRecordSize)) {
        return 0;
    }
    WriteAnswerHeader(buffer, 1);
    CAnswerWriter record(buffer, questionEnd);
    WriteRecordStart(record, kTypeA);
    record.Uint32(kAddressAnswerTtlSeconds);
    record.Uint16(static_cast<std::uint16_t>(address.size()));
    record.Bytes(address);
    return record.Offset();
}

std::size_t BuildLocalhostPointerAnswer(MessageBuffer& buffer, std::size_t questionEnd) {
    if (!Fits(questionEnd, kPointerAnswerRecordSize)) {
        return 0;
    }
    WriteAnswerHeader(buffer, 1);
    CAnswerWriter record(buffer, questionEnd);
    WriteRecordStart(record, kTypePtr);
    record.Uint32(kPointerAnswerTtlSeconds);
    record.Uint16(static_cast<std::uint16_t>(kLocalhostName.size()));
    record.Bytes(kLocalhostName);
    return record.Offset();
}

std::size_t BuildEmptyAnswer(MessageBuffer& buffer, std::size_t questionEnd) {
    if (!Fits(questionEnd, 0)) {
        return 0;
    }
    WriteAnswerHeader(buffer, 0);
    return questionEnd;
}

std::size_t BuildErrorReply(MessageBuffer& buffer, std::size_t questionEnd, std::uint8_t rcode) {
    if (!Fits(questionEnd, 0)) {
        return 0;
    }
    buffer[kFlagsOffset] = kErrorFlagsHigh;
    buffer[kFlagsOffset + 1] = rcode;
    CAnswerWriter counts(buffer, kQdCountOffset);
    counts.Uint16(1);
    counts.Uint16(0);
    counts.Uint16(0);
    counts.Uint16(0);
    return questionEnd;
}

}  // namespace dns
