#pragma once

// Whether another process of this user runs this very program file, with switches that make
// a start become the instance (no /q) and the same $XDG_RUNTIME_DIR (so the same instance
// lock): a start on its way to that lock, which a start that took it first can leave it to.
bool AnotherStartUnderWay();
