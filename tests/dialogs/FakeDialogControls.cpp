#include "tests/dialogs/FakeDialogControls.h"

namespace dialogtest {

std::uint32_t CFakeDialogControls::GetAddress(int id) const {
    const auto found = m_controls.find(id);
    return found != m_controls.end() ? found->second.address.value_or(0) : 0;
}

void CFakeDialogControls::SetAddress(int id, std::uint32_t address) {
    m_controls[id].address = address;
}

bool CFakeDialogControls::IsChecked(int id) const {
    const auto found = m_controls.find(id);
    return found != m_controls.end() && found->second.checked;
}

void CFakeDialogControls::AddString(int id, const std::string& text) {
    m_controls[id].entries.push_back(text);
}

}  // namespace dialogtest
