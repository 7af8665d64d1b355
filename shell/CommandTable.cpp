#include "shell/CommandTable.h"

void CCommandTable::Add(int id, Handler handler, Check check) {
    m_commands[id] = Command{std::move(handler), std::move(check)};
}

bool CCommandTable::Execute(int id) const {
    const auto found = m_commands.find(id);
    if (found == m_commands.end()) {
        return false;
    }
    // A copy, so that a handler that changes the table cannot pull itself from under it.
    const Handler handler = found->second.handler;
    handler();
    return true;
}

bool CCommandTable::IsChecked(int id) const {
    const auto found = m_commands.find(id);
    return found != m_commands.end() && found->second.check && found->second.check();
}

bool CCommandTable::HasCheck(int id) const {
    const auto found = m_commands.find(id);
    return found != m_commands.end() && found->second.check;
}
