#include "dialogs/IPInfoDialog.h"

#include <algorithm>
#include <utility>

#include "dialogs/BackgroundLookup.h"
#include "dialogs/DialogControls.h"
#include "dialogs/Ipv4Text.h"
#include "dialogs/MachineAddresses.h"
#include "net/Reactor.h"
#include "settings/ProfileKeys.h"
#include "settings/ProfileStore.h"
#include "shell/Desktop.h"

namespace {

// Listed names are always answered with the local host.
constexpr const char* kLocalHostAddress = "127.0.0.1";

}  // namespace

CIPInfoDialog::CIPInfoDialog(const ProfileStore& profile, AddressLookup lookUp)
    : m_profile(profile), m_lookUp(std::move(lookUp)) {}

CIPInfoDialog::CIPInfoDialog(const ProfileStore& profile)
    : CIPInfoDialog(profile, LookUpMachineAddresses) {}

CIPInfoDialog::~CIPInfoDialog() = default;

int CIPInfoDialog::DoModal(IDesktop& desktop) {
    const int result = desktop.RunDialog(*this);
    OnClosed();
    return result;
}

bool CIPInfoDialog::IsLookingUp() const {
    return m_lookup && m_lookup->IsRunning();
}

void CIPInfoDialog::OnClosed() {
    m_lookup.reset();
}

void CIPInfoDialog::StoreResolveToLocal() const {
    m_profile.WriteInt(profile::kPreferences, profile::kResolveToLocal, 1);
}

void CIPInfoDialog::OnInitDialog(IDialogControls& controls) {
    StoreResolveToLocal();
    controls.SetCheck(kResolveToLocalBox,
                      m_profile.ReadInt(profile::kPreferences, profile::kResolveToLocal, 1) != 0);
    m_profile.WriteString(profile::kPreferences, profile::kResolveToIP, kLocalHostAddress);
    controls.SetAddress(kResolveToAddress, AddressOfText(kLocalHostAddress));
    controls.Enable(kResolveToLocalBox, false);
    controls.Enable(kResolveToAddress, false);
    FillMachineAddresses(controls);
}

void CIPInfoDialog::OnCurrentIPs(IDialogControls& controls) {
    FillMachineAddresses(controls);
}

void CIPInfoDialog::OnOK(IDialogControls&) const {
    StoreResolveToLocal();
    m_profile.WriteString(profile::kPreferences, profile::kResolveToIP, kLocalHostAddress);
}

void CIPInfoDialog::FillMachineAddresses(IDialogControls& controls) {
    controls.ResetContent(kMachineAddressList);
    m_lookup.reset();
    CReactor* reactor = CReactor::Current();
    if (reactor == nullptr) {
        return;
    }
    m_lookup = std::make_unique<CBackgroundLookup>(
        *reactor, m_lookUp, [&controls](const std::vector<std::string>& found) {
            std::vector<std::string> addresses = found;
            std::sort(addresses.begin(), addresses.end());
            addresses.erase(std::unique(addresses.begin(), addresses.end()), addresses.end());
            for (const std::string& address : addresses) {
                controls.AddString(kMachineAddressList, address);
            }
        });
}
