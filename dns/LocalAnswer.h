#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "dns/DnsMessage.h"

// Local answers, built in place in the buffer that holds the query. The reply keeps the
// query's ID, QDCOUNT and question (header plus the one question, `questionEnd` bytes);
// whatever followed the question (EDNS OPT and the like) is cut off so that the header's
// counts stay true. Each returns the reply's length, or 0 when the reply would not fit
// the buffer (the buffer is then unchanged).
namespace dns {

inline constexpr std::uint32_t kAddressAnswerTtlSeconds = 7200;
inline constexpr std::uint32_t kPointerAnswerTtlSeconds = 78672;
inline constexpr std::size_t kAddressAnswerRecordSize = 16;
inline constexpr std::size_t kPointerAnswerRecordSize = 23;

// One A record for the question's name carrying `address` (network order).
std::size_t BuildAddressAnswer(MessageBuffer& buffer, std::size_t questionEnd,
                               const std::array<std::uint8_t, 4>& address);

// One PTR record for the question's name pointing at "localhost"; no authority record.
std::size_t BuildLocalhostPointerAnswer(MessageBuffer& buffer, std::size_t questionEnd);

// The address answer's header with no record at all (the name exists, the type does not).
std::size_t BuildEmptyAnswer(MessageBuffer& buffer, std::size_t questionEnd);

// An error reply with `rcode` (REFUSED, SERVFAIL): flags 81 0r, QDCOUNT 1, no records.
std::size_t BuildErrorReply(MessageBuffer& buffer, std::size_t questionEnd, std::uint8_t rcode);

}  // namespace dns
