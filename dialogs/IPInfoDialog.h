#pragma once

#include <functional>
#include <string>
#include <vector>

class IDesktop;
class IDialogControls;
class ProfileStore;

// The "IP Information" dialog: shows that listed names resolve to the local host (a greyed,
// checked box and a greyed 127.0.0.1) and lists this machine's IPv4 addresses. It stores
// "ResolveToLocal" = 1 and "ResolveToIP" = "127.0.0.1" when it opens and again at OK, so
// Cancel does not undo the first write. A member of Nimbrel's main window.
class CIPInfoDialog {
public:
    static constexpr int kTemplateId = 137;
    static constexpr int kResolveToLocalBox = 1000;
    static constexpr int kResolveToAddress = 1001;
    static constexpr int kCurrentIPsButton = 1002;
    static constexpr int kAddressFrame = 1003;
    static constexpr int kMachineAddressList = 1022;

    // This machine's addresses in any order; empty when they cannot be found.
    using AddressLookup = std::function<std::vector<std::string>()>;

    // `profile` must outlive the dialog. `lookUp` stays the resolver in the program.
    explicit CIPInfoDialog(const ProfileStore& profile, AddressLookup lookUp);
    explicit CIPInfoDialog(const ProfileStore& profile);

    // Runs the dialog on `desktop`: IDOK after OK, IDCANCEL otherwise.
    int DoModal(IDesktop& desktop);

    void OnInitDialog(IDialogControls& controls) const;
    // "Current IP(s)": the list as the machine's addresses are now.
    void OnCurrentIPs(IDialogControls& controls) const;
    void OnOK(IDialogControls& controls) const;

    // Empties the list and fills it with the machine's addresses sorted as text, each once.
    // When none can be found the list stays empty and nothing else is shown.
    void FillMachineAddresses(IDialogControls& controls) const;

private:
    void StoreResolveToLocal() const;

    const ProfileStore& m_profile;
    AddressLookup m_lookUp;
};
