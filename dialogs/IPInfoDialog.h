#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CBackgroundLookup;
class IDesktop;
class IDialogControls;
class ProfileStore;

// The "IP Information" dialog: shows that listed names resolve to the local host (a greyed,
// checked box and a greyed 127.0.0.1) and lists this machine's IPv4 addresses. It stores
// "ResolveToLocal" = 1 and "ResolveToIP" = "127.0.0.1" when it opens and again at OK, so
// Cancel does not undo the first write. A member of Nimbrel's main window.
//
// The addresses are looked up off the loop's thread (the resolver may take seconds, and may
// be this very program); the list fills when the answer comes, if the dialog is still open.
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
    ~CIPInfoDialog();

    // Runs the dialog on `desktop`: IDOK after OK, IDCANCEL otherwise.
    int DoModal(IDesktop& desktop);

    // `controls` belong to the open dialog and must last until OnClosed.
    void OnInitDialog(IDialogControls& controls);
    // "Current IP(s)": the list as the machine's addresses are now.
    void OnCurrentIPs(IDialogControls& controls);
    void OnOK(IDialogControls& controls) const;
    // The dialog's window is gone: a lookup still running is forgotten.
    void OnClosed();

    // Empties the list and starts a lookup that fills it with the machine's addresses,
    // sorted as text, each once, replacing any lookup still running. When none can be
    // found the list stays empty and nothing else is shown.
    void FillMachineAddresses(IDialogControls& controls);
    // A lookup has been started and its answer has not come yet.
    bool IsLookingUp() const;

private:
    void StoreResolveToLocal() const;

    const ProfileStore& m_profile;
    AddressLookup m_lookUp;
    std::unique_ptr<CBackgroundLookup> m_lookup;
};
