#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The DNS message layout the engine reads and writes (header, question, one answer
// record; multi-byte fields big-endian). Queries and replies live in one fixed buffer.
namespace dns {

// Every query is received into, and every local answer built in, a buffer of this size;
// a relayed reply must fit it too.
inline constexpr unsigned kDnsPort = 53;

inline constexpr std::size_t kDnsBufferSize = 512;
using MessageBuffer = std::array<std::uint8_t, kDnsBufferSize>;

// A relayed reply may be longer when the client's query announced room for it (EDNS), up
// to this size.
inline constexpr std::size_t kMaxRelayedReplySize = 4096;
// Over TCP a message may be as long as its two-byte length prefix allows.
inline constexpr std::size_t kMaxStreamMessageSize = 65535;

inline constexpr std::size_t kHeaderSize = 12;
inline constexpr std::size_t kIdOffset = 0;
inline constexpr std::size_t kFlagsOffset = 2;
inline constexpr std::size_t kQdCountOffset = 4;
// ANCOUNT, then NSCOUNT and ARCOUNT.
inline constexpr std::size_t kAnCountOffset = 6;

// The question starts right after the header; its name is followed by QTYPE and QCLASS.
inline constexpr std::size_t kQuestionOffset = kHeaderSize;

inline constexpr std::uint16_t kTypeA = 1;
inline constexpr std::uint16_t kTypePtr = 12;
inline constexpr std::uint16_t kTypeOpt = 41;
inline constexpr std::uint16_t kClassIn = 1;

// The high flags byte: QR (a response), then the four bits of the OPCODE (0: a query).
inline constexpr std::uint8_t kResponseFlag = 0x80;
inline constexpr std::uint8_t kOpcodeMask = 0x78;

// Response codes (the low four bits of byte 3).
inline constexpr std::uint8_t kRcodeMask = 0x0F;
inline constexpr std::uint8_t kRcodeServFail = 2;
inline constexpr std::uint8_t kRcodeRefused = 5;

// Flags of a local answer: QR 1, OPCODE 0, AA 1, TC 0, RD 1, RA 0, Z 0, RCODE 0.
inline constexpr std::uint8_t kAnswerFlagsHigh = 0x85;
inline constexpr std::uint8_t kAnswerFlagsLow = 0x00;
// Flags of an error reply: QR 1, OPCODE 0, AA 0, TC 0, RD 1, RA 0; the low byte is the RCODE.
inline constexpr std::uint8_t kErrorFlagsHigh = 0x81;

// A compression pointer to the question's name at offset 12.
inline constexpr std::uint8_t kNamePointerHigh = 0xC0;
inline constexpr std::uint8_t kNamePointerLow = 0x0C;

// The longest name text a question can decode to: one byte less than the buffer.
inline constexpr std::size_t kMaxNameLength = kDnsBufferSize - 1;

}  // namespace dns
