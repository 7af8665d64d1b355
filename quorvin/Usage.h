#pragma once

// What "quorvin --help" prints.
namespace quorvin {

inline constexpr const char* kUsage =
    "Usage: quorvin [/a] [/h] [/s] [/i] [/q] [/v] [/t]\n"
    "       quorvin --help | --version\n"
    "\n"
    "An HTTP server on 127.0.0.1:80 that answers every request with a harmless picture.\n"
    "A second start hands its switches to the running instance; switches count anywhere\n"
    "on the line, in any letter case.\n"
    "\n"
    "  /a  show the About box first\n"
    "  /h  running: show or hide the tray icon\n"
    "  /s  running: stop the server, or start it when stopped\n"
    "  /i  running: turn the pictures on or off\n"
    "  /q  running: end it; first start: end at once\n"
    "  /v  first start: show the tray icon (every start without /v hides it)\n"
    "  /t  first start: turn the pictures off\n"
    "  --help     print this help and end\n"
    "  --version  print the version and end\n"
    "\n"
    "See quorvin(1).\n";

}  // namespace quorvin
