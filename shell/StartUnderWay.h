#pragma once

// Whether another process of this user runs this very program file with switches that make
// a start become the instance (no /q): a start on its way to the instance lock, which a
// start that took the lock first can leave it to.
bool AnotherStartUnderWay();
