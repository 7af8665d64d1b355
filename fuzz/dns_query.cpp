// A datagram through the query handling: the question is decoded, its route decided with
// lists loaded, and the local reply of that route built, as the DNS socket does. The first
// input byte sets the profile's "UseCode" digits and "AlwaysReply"; the rest is the
// datagram.

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "dns/DnsMessage.h"
#include "dns/DnsQuestion.h"
#include "dns/DnsRoute.h"
#include "dns/LocalAnswer.h"
#include "dns/NameFilter.h"
#include "dns/RelayedReply.h"

namespace {

class CFuzzFacts : public dns::IRouteFacts {
public:
    CFuzzFacts(const CNameFilter& named, const CNameFilter& passed, std::uint8_t settings)
        : m_named(named), m_passed(passed), m_settings(settings) {}

    bool IsPassed(std::string_view name) const override { return m_passed.Matches(name); }
    bool IsNamed(std::string_view name) const override { return m_named.Matches(name); }
    int UseCode() override { return (m_settings & 3) * 10000 + ((m_settings >> 2) & 3); }
    bool AlwaysReply() override { return (m_settings & 16) != 0; }
    int AskableServers() const override { return (m_settings >> 5) & 0b10001; }

private:
    const CNameFilter& m_named;
    const CNameFilter& m_passed;
    std::uint8_t m_settings;
};

const CNameFilter& List(const char* text) {
    auto* list = new CNameFilter;
    list->Assign(text);
    return *list;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const CNameFilter& named = List("ads.example\nin-addr.arpa\n\nx\n");
    static const CNameFilter& passed = List("both.example\nads.example.net\n");
    if (size == 0) {
        return 0;
    }
    const std::uint8_t* datagram = data + 1;
    const std::size_t length = size - 1;
    CDnsQuestion question;
    if (!question.Decode(datagram, length)) {
        return 0;
    }
    CFuzzFacts facts(named, passed, data[0]);
    const dns::Route route = dns::ChooseRoute(question.Type(), question.Name(), facts);
    dns::MessageBuffer buffer{};
    std::copy_n(datagram, length, buffer.begin());
    std::size_t reply = 0;
    switch (route.kind) {
        case dns::RouteKind::kLocalAddress:
            reply = dns::BuildAddressAnswer(buffer, question.End(), {127, 0, 0, 1});
            break;
        case dns::RouteKind::kLocalPointer:
            reply = dns::BuildLocalhostPointerAnswer(buffer, question.End());
            break;
        case dns::RouteKind::kLocalEmpty:
            reply = dns::BuildEmptyAnswer(buffer, question.End());
            break;
        case dns::RouteKind::kRefused:
            reply = dns::BuildErrorReply(buffer, question.End(), dns::kRcodeRefused);
            break;
        case dns::RouteKind::kRelay:
            if (dns::ReplySizeLimit(datagram, length) > dns::kMaxRelayedReplySize) {
                std::abort();
            }
            break;
        case dns::RouteKind::kDrop:
            break;
    }
    // A reply keeps the client's ID and never outgrows the buffer.
    if (reply > buffer.size() ||
        (reply != 0 && (buffer[0] != datagram[0] || buffer[1] != datagram[1]))) {
        std::abort();
    }
    return 0;
}
