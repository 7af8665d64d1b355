#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Polynomial hash modulo the prime 2^61 - 1, so that the hash of any run of a name follows
// from the name's prefix hashes in constant time, and equals the hash of the same bytes
// taken on their own.
namespace RunHash {

// Hash of a whole text.
std::uint64_t Of(std::string_view text);

// prefix[i] becomes the hash of text's first i bytes, for i = 0 .. text.size().
void Prefixes(std::string_view text, std::uint64_t* prefix);

// Hash of text[begin, end), from the prefixes of text.
std::uint64_t OfRange(const std::uint64_t* prefix, std::size_t begin, std::size_t end);

}  // namespace RunHash
