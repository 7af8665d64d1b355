#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// DNS messages for the tests, byte by byte.
namespace kit {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint16_t kTypeA = 1;
inline constexpr std::uint16_t kTypePtr = 12;
inline constexpr std::uint16_t kTypeAaaa = 28;

// A name as labels on the wire: "a.b" gives 01 'a' 01 'b' 00; "" gives the root, 00.
Bytes EncodeName(std::string_view dotted);

// Header (ID, flags 01 00 = RD, QDCOUNT, other counts 0) and one question of class IN.
Bytes MakeQuery(std::uint16_t id, std::string_view name, std::uint16_t type = kTypeA,
                std::uint16_t questionCount = 1);
// The same with an EDNS OPT record announcing `payloadSize` after the question, ARCOUNT 1.
Bytes MakeQueryWithOpt(std::uint16_t id, std::string_view name, std::uint16_t type = kTypeA,
                       std::uint16_t payloadSize = 1232);

std::uint16_t IdOf(const Bytes& message);
std::uint8_t RcodeOf(const Bytes& message);

// What a well-behaved upstream server answers: the query with flags 81 80 and, after it, a
// tag byte pair (FA tag) that tells the test which server answered.
Bytes UpstreamReply(const Bytes& query, std::uint8_t tag);

// A message as it goes over TCP: its length in two bytes, then the message.
std::string Framed(const Bytes& message);
// The complete messages of a TCP stream, in order; what is left of an unfinished one is not.
std::vector<Bytes> Unframed(std::string_view stream);

}  // namespace kit
