#include "dns/RelayedReply.h"

#include <algorithm>

#include "dns/DnsMessage.h"
#include "dns/DnsReader.h"

namespace dns {
namespace {

constexpr std::uint8_t kPointerBits = 0xC0;
// TTL and RDLENGTH follow TYPE and CLASS in a resource record.
constexpr std::size_t kTtlSize = 4;

std::uint16_t Uint16At(const std::uint8_t* message, std::size_t offset) {
    return static_cast<std::uint16_t>((message[offset] << 8) | message[offset + 1]);
}

// Moves past a name, plain labels possibly ending in a compression pointer.
bool SkipName(CDnsReader& reader) {
    for (;;) {
        std::uint8_t length = 0;
        if (!reader.ReadByte(length)) {
            return false;
        }
        if (length == 0) {
            return true;
        }
        if ((length & kPointerBits) == kPointerBits) {
            return reader.Skip(1);
        }
        if ((length & kPointerBits) != 0 || !reader.Skip(length)) {
            return false;
        }
    }
}

char LowerAscii(std::uint8_t c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
}

}  // namespace

std::size_t ReplySizeLimit(const std::uint8_t* query, std::size_t length) {
    if (length < kHeaderSize) {
        return kDnsBufferSize;
    }
    CDnsReader reader(query, length, kHeaderSize);
    for (int question = Uint16At(query, kQdCountOffset); question > 0; --question) {
        if (!SkipName(reader) || !reader.Skip(2 * sizeof(std::uint16_t))) {
            return kDnsBufferSize;
        }
    }
    const int answersAndAuthority =
        Uint16At(query, kAnCountOffset) + Uint16At(query, kAnCountOffset + 2);
    const int additional = Uint16At(query, kAnCountOffset + 4);
    for (int record = 0; record < answersAndAuthority + additional; ++record) {
        std::uint16_t type = 0;
        std::uint16_t payloadSize = 0;
        std::uint16_t dataLength = 0;
        if (!SkipName(reader) || !reader.ReadUint16(type) || !reader.ReadUint16(payloadSize) ||
            !reader.Skip(kTtlSize) || !reader.ReadUint16(dataLength) || !reader.Skip(dataLength)) {
            return kDnsBufferSize;
        }
        if (type == kTypeOpt && record >= answersAndAuthority) {
            return std::clamp<std::size_t>(payloadSize, kDnsBufferSize, kMaxRelayedReplySize);
        }
    }
    return kDnsBufferSize;
}

bool AnswersQuery(const std::uint8_t* query, std::size_t questionEnd, const std::uint8_t* reply,
                  std::size_t replyLength) {
    if (replyLength < kHeaderSize || questionEnd < kHeaderSize ||
        reply[kIdOffset] != query[kIdOffset] || reply[kIdOffset + 1] != query[kIdOffset + 1] ||
        (reply[kFlagsOffset] & (kResponseFlag | kOpcodeMask)) != kResponseFlag) {
        return false;
    }
    if (Uint16At(reply, kQdCountOffset) == 0) {
        return (reply[kFlagsOffset + 1] & kRcodeMask) != 0;
    }
    // The query's question is known to be well formed: walk its labels and hold the reply's
    // to the same lengths, comparing label bytes without regard to letter case.
    if (replyLength < questionEnd) {
        return false;
    }
    std::size_t offset = kQuestionOffset;
    for (std::uint8_t label = query[offset]; label != 0; label = query[offset]) {
        if (reply[offset] != label) {
            return false;
        }
        for (std::size_t i = offset + 1; i <= offset + label; ++i) {
            if (LowerAscii(reply[i]) != LowerAscii(query[i])) {
                return false;
            }
        }
        offset += label + 1u;
    }
    return std::equal(query + offset, query + questionEnd, reply + offset);
}

}  // namespace dns
