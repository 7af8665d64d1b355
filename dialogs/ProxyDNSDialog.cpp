#include "dialogs/ProxyDNSDialog.h"

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/DialogControls.h"
#include "dialogs/Ipv4Text.h"
#include "dns/UseCode.h"
#include "settings/ProfileKeys.h"
#include "settings/ProfileStore.h"
#include "shell/Desktop.h"

namespace {

// What an edited address selects: the server in both cases.
constexpr int kEditedRowDigit = dns::kPassedDigitBit | dns::kNotNamedDigitBit;

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
    controls.SetCheck(notNamedId, hasServer && (value & dns::kNotNamedDigitBit) != 0);
    controls.SetCheck(passedId, hasServer && (value & dns::kPassedDigitBit) != 0);
}

void CProxyDNSDialog::OnInitDialog(IDialogControls& controls) const {
    for (std::size_t row = 0; row < kServerRows.size(); ++row) {
        const std::string text =
            m_profile.ReadString(profile::kProxy, profile::kServerKeys[row], "");
        if (!text.empty()) {
            controls.SetAddress(kServerRows[row].address, AddressOfText(text));
        }
    }
    const int code = m_profile.ReadInt(profile::kProxy, profile::kUseCode, 0);
    for (std::size_t row = 0; row < kServerRows.size(); ++row) {
        const ServerRow& controlsOf = kServerRows[row];
        UpdateServerRow(controls, controlsOf.address, controlsOf.passedBox, controlsOf.notNamedBox,
                        dns::RowDigit(code, static_cast<int>(row)));
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
    for (std::size_t row = 0; row < kServerRows.size(); ++row) {
        const ServerRow& controlsOf = kServerRows[row];
        entries.push_back({profile::kProxy, profile::kServerKeys[row],
                           AddressText(controls.GetAddress(controlsOf.address))});
        const int passed = controls.IsChecked(controlsOf.passedBox) ? dns::kPassedDigitBit : 0;
        const int notNamed =
            controls.IsChecked(controlsOf.notNamedBox) ? dns::kNotNamedDigitBit : 0;
        code += (passed + notNamed) * dns::kRowDigitWeights[row];
    }
    entries.push_back({profile::kProxy, profile::kUseCode, std::to_string(code)});
    m_profile.WriteStrings(entries);
}
