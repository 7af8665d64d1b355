#pragma once

#include <cstddef>
#include <cstdint>

// What a datagram from an upstream server must be to go back to the client as the reply
// to a relayed query.
namespace dns {

// The longest reply the client can take: the UDP payload size its query announces in an
// EDNS OPT record, from 512 up to kMaxRelayedReplySize; 512 without one, or when the
// query's records cannot be read.
std::size_t ReplySizeLimit(const std::uint8_t* query, std::size_t length);

// Whether `reply` answers `query`, whose question ends at `questionEnd` (the query decoded
// as a question): a response (QR set) to a standard query (OPCODE 0), with the same ID and
// the same question (name without regard to ASCII letter case, type and class). An error reply
// (RCODE not 0) that carries no question counts too, since servers often send those without one.
bool AnswersQuery(const std::uint8_t* query, std::size_t questionEnd, const std::uint8_t* reply,
                  std::size_t replyLength);

}  // namespace dns
