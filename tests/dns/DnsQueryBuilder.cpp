#include "DnsQueryBuilder.h"

namespace dnstest {

void AppendUint16(Bytes& message, std::uint16_t value) {
    message.push_back(static_cast<std::uint8_t>(value >> 8));
    message.push_back(static_cast<std::uint8_t>(value));
}

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
    AppendUint16(message, id);
    AppendUint16(message, 0x0100);
    AppendUint16(message, questionCount);
    AppendUint16(message, 0);
    AppendUint16(message, 0);
    AppendUint16(message, 0);
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
    AppendUint16(message, kTypeOpt);
    AppendUint16(message, payloadSize);
    AppendUint16(message, 0);  // extended RCODE and version
    AppendUint16(message, 0);  // flags
    AppendUint16(message, 0);  // no options
    return message;
}

std::uint16_t IdOf(const Bytes& message) {
    return static_cast<std::uint16_t>((message[0] << 8) | message[1]);
}

}  // namespace dnstest
