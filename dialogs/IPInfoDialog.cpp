#include "dialogs/IPInfoDialog.h"

#include <algorithm>
#include <utility>

#include "dialogs/DialogControls.h"
#include "dialogs/Ipv4Text.h"
#include "dialogs/MachineAddresses.h"
#include "settings/ProfileStore.h"
#include "shell/Desktop.h"

namespace {

constexpr const char* kPreferences = "Preferences";
constexpr const char* kResolveToLocalKey = "ResolveToLocal";
constexpr const char* kResolveToIPKey = "ResolveToIP";
// Listed names are always answered with the local host.
constexpr const char* kLocalHostAddress = "127.0.0.1";

}  // namespace

CIPInfoDialog::CIPInfoDialog(const ProfileStore& profile, AddressLookup lookUp)
    : m_profile(profile), m_lookUp(std::move(lookUp)) {}

CIPInfoDialog::CIPInfoDialog(const ProfileStore& profile)
    : CIPInfoDialog(profile, LookUpMachineAddresses) {}

int CIPInfoDialog::DoModal(IDesktop& desktop) {
    return desktop.RunDialog(*this);
}

void CIPInfoDialog::StoreResolveToLocal() const {
    m_profile.WriteInt(kPreferences, kResolveToLocalKey, 1);
}

void CIPInfoDialog::OnInitDialog(IDialogControls& controls) const {
    StoreResolveToLocal();
    controls.SetCheck(kResolveToLocalBox,
                      m_profile.ReadInt(kPreferences, kResolveToLocalKey, 1) != 0);
    m_profile.WriteString(kPreferences, kResolveToIPKey, kLocalHostAddress);
    controls.SetAddress(kResolveToAddress, AddressOfText(kLocalHostAddress));
    controls.Enable(kResolveToLocalBox, false);
    controls.Enable(kResolveToAddress, false);
    FillMachineAddresses(controls);
}

void CIPInfoDialog::OnCurrentIPs(IDialogControls& controls) const {
    FillMachineAddresses(controls);
}

void CIPInfoDialog::OnOK(IDialogControls&) const {
    StoreResolveToLocal();
    m_profile.WriteString(kPreferences, kResolveToIPKey, kLocalHostAddress);
}

void CIPInfoDialog::FillMachineAddresses(IDialogControls& controls) const {
    controls.ResetContent(kMachineAddressList);
    std::vector<std::string> addresses = m_lookUp();
    std::sort(addresses.begin(), addresses.end());
    addresses.erase(std::unique(addresses.begin(), addresses.end()), addresses.end());
    for (const std::string& address : addresses) {
        controls.AddString(kMachineAddressList, address);
    }
}
