#include "dialogs/ProxyDNSDialog.h"

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/DialogControls.h"
#include "dialogs/Ipv4Text.h"
#include "dns/UpstreamRelay.h"
#include "settings/ProfileStore.h"
#include "shell/Desktop.h"

namespace {

constexpr int kDigitBase = 10;
constexpr int kNotNamedBit = 1;
constexpr int kPassedBit = 2;
// What an edited address selects: the server in both cases.
constexpr int kEditedRowDigit = kPassedBit | kNotNamedBit;

bool IsOdd(int value) {
    return value % 2 == 1;
}

}  // namespace

CProxyDNSDialog::CProxyDNSDialog(const ProfileStore& profile) : m_profile(profile) {}

int CProxyDNSDialog::DoModal(IDesktop& desktop) {
    return desktop.RunDialog(*this);
}

void CProxyDNSDialog::UpdateServerRow(IDialogControls& controls, int addressId, int passedId,
                                      int notNamedId, int value) {
    const std::uint32_t address = controls.GetAddress(addressId);
    const bool hasServer = address != 0;
    const std::string caption = hasServer ? AddressText(address) : std::string();
    controls.SetCaption(passedId, caption);
    controls.SetCaption(notNamedId, caption);
    controls.Enable(passedId, hasServer);
    controls.Enable(notNamedId, hasServer);
    controls.SetCheck(notNamedId, hasServer && IsOdd(value));
    controls.SetCheck(passedId, hasServer && IsOdd(value / 2));
}

void CProxyDNSDialog::OnInitDialog(IDialogControls& controls) const {
    for (const ServerRow& row : kServerRows) {
        const std::string text = m_profile.ReadString(CUpstreamRelay::kProxySection, row.key, "");
        if (!text.empty()) {
            controls.SetAddress(row.address, AddressOfText(text));
        }
    }
    const int code =
        m_profile.ReadInt(CUpstreamRelay::kProxySection, CUpstreamRelay::kUseCodeKey, 0);
    for (const ServerRow& row : kServerRows) {
        UpdateServerRow(controls, row.address, row.passedBox, row.notNamedBox,
                        (code / row.digitWeight) % kDigitBase);
    }
}

void CProxyDNSDialog::OnAddressFieldChanged(IDialogControls& controls, int addressId) const {
    for (const ServerRow& row : kServerRows) {
        if (row.address == addressId) {
            UpdateServerRow(controls, row.address, row.passedBox, row.notNamedBox, kEditedRowDigit);
        }
    }
}

void CProxyDNSDialog::OnOK(IDialogControls& controls) const {
    // One write: the addresses never reach the file without the code that selects them.
    std::vector<ProfileEntry> entries;
    int code = 0;
    for (const ServerRow& row : kServerRows) {
        entries.push_back({CUpstreamRelay::kProxySection, row.key,
                           AddressText(controls.GetAddress(row.address))});
        const int passed = controls.IsChecked(row.passedBox) ? kPassedBit : 0;
        const int notNamed = controls.IsChecked(row.notNamedBox) ? kNotNamedBit : 0;
        code += (passed + notNamed) * row.digitWeight;
    }
    entries.push_back(
        {CUpstreamRelay::kProxySection, CUpstreamRelay::kUseCodeKey, std::to_string(code)});
    m_profile.WriteStrings(entries);
}
