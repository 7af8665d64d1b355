#include "shell/DesktopFactory.h"
#include "shell/HeadlessDesktop.h"

std::unique_ptr<IDesktop> MakeDesktop(int&, char**, const std::string&) {
    return std::make_unique<CHeadlessDesktop>();
}
