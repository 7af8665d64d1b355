// A TCP stream through the framing reader, in pieces: the first input byte seeds the piece
// sizes, the rest is the stream. The messages must come out the same as from the whole
// stream at once, each inside the stream and as long as its length said; every message then
// goes through the question decoding, as the TCP connection hands it on.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "dns/DnsQuestion.h"
#include "dns/TcpFrameReader.h"

namespace {

std::vector<std::vector<std::uint8_t>> Messages(CTcpFrameReader& reader) {
    std::vector<std::vector<std::uint8_t>> messages;
    const std::uint8_t* message = nullptr;
    std::size_t length = 0;
    while (reader.Next(message, length)) {
        messages.emplace_back(message, message + length);
    }
    return messages;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint8_t* stream = data + 1;
    const std::size_t length = size - 1;
    CTcpFrameReader whole;
    whole.Append(stream, length);
    const auto expected = Messages(whole);

    CTcpFrameReader pieces;
    std::vector<std::vector<std::uint8_t>> taken;
    std::uint32_t seed = data[0] | 1u;
    for (std::size_t offset = 0; offset < length;) {
        seed = seed * 1103515245u + 12345u;
        std::size_t piece = (seed >> 16) % 7 + 1;
        if (piece > length - offset) {
            piece = length - offset;
        }
        pieces.Append(stream + offset, piece);
        offset += piece;
        for (auto& message : Messages(pieces)) {
            taken.push_back(std::move(message));
        }
    }
    std::size_t framed = 0;
    for (const auto& message : expected) {
        framed += 2 + message.size();
        CDnsQuestion question;
        question.Decode(message.data(), message.size());
    }
    if (taken != expected || framed > length || whole.HoldsPartialMessage() != (framed != length) ||
        pieces.HoldsPartialMessage() != whole.HoldsPartialMessage()) {
        std::abort();
    }
    return 0;
}
