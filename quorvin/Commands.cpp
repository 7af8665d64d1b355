#include "quorvin/Commands.h"

#include "shell/WindowMessages.h"

namespace quorvin {

const MenuResource& TrayMenu() {
    static const MenuResource menu = {
        {"&About Quorvin...", ID_APP_ABOUT},
        {nullptr, 0},
        {"S&tart", ID_START},
        {"Sto&p", ID_STOP},
        {nullptr, 0},
        {"&Hide", ID_HIDE},
        {"Hi&de on Start", ID_HIDE_ON_START},
        {"Use &Images", ID_USE_IMAGES},
        {nullptr, 0},
        {"E&xit", ID_APP_EXIT},
    };
    return menu;
}

}  // namespace quorvin
