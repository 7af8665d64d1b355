#include "nimbrel/Commands.h"

#include "shell/WindowMessages.h"

namespace nimbrel {

const MenuResource& TrayMenu() {
    static const MenuResource menu = {
        {"&About Nimbrel...", ID_APP_ABOUT},
        {nullptr, 0},
        {"Load &Filters", ID_LOAD_FILTERS},
        {"&Block Lists...", ID_BLOCK_LISTS},
        {"&Update Lists", ID_UPDATE_LISTS},
        {nullptr, 0},
        {"S&tart", ID_START},
        {"Sto&p", ID_STOP},
        {nullptr, 0},
        {"&Hide", ID_HIDE},
        {"Hi&de on Start", ID_HIDE_ON_START},
        {nullptr, 0},
        {"IP Inf&o...", ID_IP_INFO},
        {"Pro&xy DNS...", ID_PROXY_DNS},
        {"Acti&vity...", ID_ACTIVITY},
        {nullptr, 0},
        {"Modify Named.txt", ID_MODIFY_NAMED},
        {"Modify Pass.txt", ID_MODIFY_PASS},
        {"Select Filter Folder...", ID_SELECT_FILTER_FOLDER},
        {nullptr, 0},
        {"E&xit", ID_APP_EXIT},
    };
    return menu;
}

}  // namespace nimbrel
