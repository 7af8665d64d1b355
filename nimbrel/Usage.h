#pragma once

// What "nimbrel --help" prints.
namespace nimbrel {

inline constexpr const char* kUsage =
    "Usage: nimbrel [/a] [/h] [/v] [/l] [/u] [/s] [/q] [/n] [/p] [/f]\n"
    "       nimbrel --help | --version\n"
    "\n"
    "A DNS server on 127.0.0.1:53 that answers the names of its block lists with 127.0.0.1\n"
    "and relays or refuses the rest. A second start hands its switches to the running\n"
    "instance; switches count anywhere on the line, in any letter case.\n"
    "\n"
    "  /a  show the About box first\n"
    "  /h  running: show or hide the tray icon; first start: start hidden from now on\n"
    "  /v  first start: show the tray icon from now on\n"
    "  /l  running: load the filter lists again\n"
    "  /u  download the subscribed lists now (first start: once the service runs)\n"
    "  /s  running: stop the service, or start it when stopped\n"
    "  /q  running: end it; first start: end at once\n"
    "  /n  open named.txt in the text editor\n"
    "  /p  open pass.txt in the text editor\n"
    "  /f  running: choose the folder of the filter lists\n"
    "  --help     print this help and end\n"
    "  --version  print the version and end\n"
    "\n"
    "See nimbrel(1).\n";

}  // namespace nimbrel
