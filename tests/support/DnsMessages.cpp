#include "tests/support/DnsMessages.h"

namespace kit {
namespace {

constexpr std::uint16_t kTypeOpt = 41;

void AppendUint16(Bytes& message, std::uint16_t value) {
    message.push_back(static_cast<std::uint8_t>(value >> 8));
    message.push_back(static_cast<std::uint8_t>(value));
}

}  // namespace

Bytes EncodeName(std::string_view dotted) {
    Bytes wire;
    while (!dotted.empty()) {
        const std::size_t dot = dotted.find('.');
        const std::string_view label = dotted.substr(0, dot);
        wire.push_back(static_cast<std::uint8_t>(label.size()));
        wire.insert(wire.end(), label.begin(), label.end());
        dotted = dot == std::string_view::npos ? std::string_view() : dotted.substr(dot + 1);
    }
    wire.push_back(0);
    return wire;
}

Bytes MakeQuery(std::uint16_t id, std::string_view name, std::uint16_t type,
                std::uint16_t questionCount) {
    Bytes message;
    for (const std::uint16_t field : {id, std::uint16_t{0x0100}, questionCount, std::uint16_t{0},
                                      std::uint16_t{0}, std::uint16_t{0}}) {
        AppendUint16(message, field);
    }
    const Bytes wireName = EncodeName(name);
    message.insert(message.end(), wireName.begin(), wireName.end());
    AppendUint16(message, type);
    AppendUint16(message, 1);
    return message;
}

Bytes MakeQueryWithOpt(std::uint16_t id, std::string_view name, std::uint16_t type,
                       std::uint16_t payloadSize) {
    Bytes message = MakeQuery(id, name, type);
    message[11] = 1;
    message.push_back(0);  // root owner name
    for (const std::uint16_t field :
         {kTypeOpt, payloadSize, std::uint16_t{0}, std::uint16_t{0}, std::uint16_t{0}}) {
        AppendUint16(message, field);
    }
    return message;
}

std::uint16_t IdOf(const Bytes& message) {
    return static_cast<std::uint16_t>((message.at(0) << 8) | message.at(1));
}

std::uint8_t RcodeOf(const Bytes& message) {
    return message.at(3) & 0x0F;
}

Bytes UpstreamReply(const Bytes& query, std::uint8_t tag) {
    Bytes reply = query;
    if (reply.size() >= 4) {
        reply[2] = 0x81;
        reply[3] = 0x80;
    }
    reply.push_back(0xFA);
    reply.push_back(tag);
    return reply;
}

std::string Framed(const Bytes& message) {
    std::string framed;
    framed.push_back(static_cast<char>(message.size() >> 8));
    framed.push_back(static_cast<char>(message.size() & 0xFF));
    framed.append(message.begin(), message.end());
    return framed;
}

std::vector<Bytes> Unframed(std::string_view stream) {
    std::vector<Bytes> messages;
    while (stream.size() >= 2) {
        const std::size_t length = static_cast<std::size_t>(
            (static_cast<std::uint8_t>(stream[0]) << 8) | static_cast<std::uint8_t>(stream[1]));
        if (stream.size() - 2 < length) {
            break;
        }
        messages.emplace_back(stream.begin() + 2, stream.begin() + 2 + length);
        stream.remove_prefix(2 + length);
    }
    return messages;
}

}  // namespace kit
