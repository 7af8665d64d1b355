#pragma once

#include <array>
#include <string_view>

class IDesktop;
class IDialogControls;
class ProfileStore;

// The "Configure Proxied DNS servers" dialog: up to five upstream servers ("IP1" to "IP5"
// of section "Proxy") and, for each, whether it serves passed names and names found in
// neither list ("UseCode", one decimal digit per row). A member of Nimbrel's main window;
// every opening starts afresh from the profile, and only OK writes it.
class CProxyDNSDialog {
public:
    static constexpr int kTemplateId = 138;
    static constexpr int kProxyToFrame = 1021;
    static constexpr int kIfPassedFrame = 1019;
    static constexpr int kIfNotNamedFrame = 1020;

    // One row of controls: an address entry and its "If passed" and "If not named" boxes.
    // Row r stores its address in profile::kServerKeys[r] and its boxes in digit r of
    // "UseCode".
    struct ServerRow {
        int address;
        int passedBox;
        int notNamedBox;
    };
    static constexpr std::array<ServerRow, 5> kServerRows = {{
        {1004, 1009, 1014},
        {1005, 1010, 1015},
        {1006, 1011, 1016},
        {1007, 1012, 1017},
        {1008, 1013, 1018},
    }};

    // `profile` must outlive the dialog.
    explicit CProxyDNSDialog(const ProfileStore& profile);

    // Runs the dialog on `desktop`: IDOK after OK, IDCANCEL otherwise.
    int DoModal(IDesktop& desktop);

    // Shows exactly what the profile holds: all five addresses first, then every row from
    // its stored digit.
    void OnInitDialog(IDialogControls& controls) const;
    // A field of address entry `addressId` changed: its row is refreshed with both boxes
    // checked, or greyed and cleared when the address is now 0.
    void OnAddressFieldChanged(IDialogControls& controls, int addressId) const;
    // Writes all five addresses ("0.0.0.0" for a blank row) and "UseCode".
    void OnOK(IDialogControls& controls) const;

    // Sets a row from its address and a "UseCode" digit. A row with a server shows its address as
    // both captions and enables both boxes; a row with address 0 shows two greyed, unchecked,
    // unlabelled boxes.
    static void UpdateServerRow(IDialogControls& controls, int addressId, int passedId,
                                int notNamedId, int value);

private:
    const ProfileStore& m_profile;
};
