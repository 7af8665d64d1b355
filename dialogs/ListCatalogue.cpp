#include "dialogs/ListCatalogue.h"

#include <array>

std::span<const CatalogueList> ListCatalogue() {
    static constexpr std::array<CatalogueList, 4> kLists = {{
        {"StevenBlack's unified hosts (adware and malware)",
         "https://raw.githubusercontent.com/StevenBlack/hosts/master/hosts", "MIT",
         ListSide::kBlock},
        {"EasyList (advertising)", "https://easylist.to/easylist/easylist.txt",
         "GPL-3.0 or CC BY-SA 3.0", ListSide::kBlock},
        {"EasyPrivacy (tracking)", "https://easylist.to/easylist/easyprivacy.txt",
         "GPL-3.0 or CC BY-SA 3.0", ListSide::kBlock},
        {"AdGuard DNS filter", "https://adguardteam.github.io/AdGuardSDNSFilter/Filters/filter.txt",
         "GPL-3.0", ListSide::kBlock},
    }};
    return kLists;
}
