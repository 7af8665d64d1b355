#include "dns/DnsSocket.h"

#include <sys/socket.h>

#include <string_view>

#include "dns/ActivitySink.h"
#include "dns/DnsQuestion.h"
#include "dns/FilterLists.h"
#include "dns/LocalAnswer.h"
#include "dns/UpstreamRelay.h"
#include "settings/ProfileStore.h"

namespace {

// Every reply goes out with MSG_DONTROUTE: the client is always on this machine.
constexpr int kReplyFlags = MSG_DONTROUTE;

// The reverse name of 127.0.0.1, answered locally with "localhost".
constexpr std::string_view kLocalhostReverseName = "1.0.0.127.in-addr.arpa";

bool EqualsIgnoringCase(std::string_view text, std::string_view lowerCase) {
    if (text.size() != lowerCase.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != lowerCase[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

CDnsSocket::CDnsSocket(const CFilterLists& filters, CUpstreamRelay& relay,
                       const ProfileStore& profile, IActivitySink* activity)
    : m_filters(filters), m_relay(relay), m_profile(profile), m_activity(activity) {}

void CDnsSocket::OnReceive(int /*errorCode*/) {
    SetActivity(IActivitySink::kQueryArrived);
    dns::MessageBuffer buffer;
    Client client;
    const int received =
        ReceiveFrom(buffer.data(), static_cast<int>(buffer.size()), client.address, client.port);
    SetActivity(IActivitySink::kIdle);

    CDnsQuestion question;
    if (received <= 0 || !question.Decode(buffer.data(), static_cast<std::size_t>(received))) {
        SetActivity(IActivitySink::kIdle);
        return;
    }
    switch (question.Type()) {
        case dns::kTypeA:
            HandleAddressQuery(buffer, received, question, client);
            break;
        case dns::kTypePtr:
            HandlePointerQuery(buffer, received, question, client);
            break;
        default:
            SetActivity(IActivitySink::kIdle);
            break;
    }
}

void CDnsSocket::HandleAddressQuery(dns::MessageBuffer& buffer, int length,
                                    const CDnsQuestion& question, const Client& client) {
    // The pass list wins over the named list: a name in both is relayed.
    if (m_filters.IsPassed(question.Name())) {
        if (!RelayAndReply(buffer, length, &CUpstreamRelay::PassMask, client)) {
            SetActivity(IActivitySink::kIdle);
        }
        return;
    }
    if (m_filters.IsNamed(question.Name())) {
        SetActivity(IActivitySink::kAnsweringLocally);
        const std::size_t replyLength =
            dns::BuildAddressAnswer(buffer, question.End(), m_resolveAddress);
        if (replyLength != 0) {
            Reply(buffer, replyLength, client);
        }
        SetActivity(IActivitySink::kIdle);
        return;
    }
    RelayAndReply(buffer, length, &CUpstreamRelay::NotNamedMask, client);
}

void CDnsSocket::HandlePointerQuery(dns::MessageBuffer& buffer, int length,
                                    const CDnsQuestion& question, const Client& client) {
    SetActivity(IActivitySink::kAnsweringLocally);
    if (EqualsIgnoringCase(question.Name(), kLocalhostReverseName)) {
        const std::size_t replyLength = dns::BuildLocalhostPointerAnswer(buffer, question.End());
        if (replyLength != 0) {
            Reply(buffer, replyLength, client);
        }
        SetActivity(IActivitySink::kIdle);
        return;
    }
    RelayAndReply(buffer, length, &CUpstreamRelay::NotNamedMask, client);
}

bool CDnsSocket::RelayAndReply(dns::MessageBuffer& buffer, int length, int (*maskOf)(int),
                               const Client& client) {
    const int useCode =
        m_profile.ReadInt(CUpstreamRelay::kProxySection, CUpstreamRelay::kUseCodeKey, 0);
    if (m_relay.RelayQuery(buffer, length, maskOf(useCode)) == 0) {
        return false;
    }
    SetActivity(IActivitySink::kRelaying);
    Reply(buffer, static_cast<std::size_t>(length), client);
    return true;
}

void CDnsSocket::Reply(const dns::MessageBuffer& buffer, std::size_t length, const Client& client) {
    SendTo(buffer.data(), static_cast<int>(length), client.port, client.address.c_str(),
           kReplyFlags);
}

void CDnsSocket::SetActivity(int state) {
    if (m_activity != nullptr) {
        m_activity->SetActivity(state);
    }
}
