#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/DialogControls.h"

namespace dialogtest {

// Controls of a dialog without a window, kept in memory by id. Every control starts
// enabled, unchecked and blank, with the caption "0.0.0.0" that the server boxes carry in
// their template, so a test sees whether the logic really set each one.
class CFakeDialogControls : public IDialogControls {
public:
    struct Control {
        std::optional<std::uint32_t> address;
        std::string caption = "0.0.0.0";
        bool enabled = true;
        bool checked = false;
        std::vector<std::string> entries;
    };

    std::uint32_t GetAddress(int id) const override { return Get(id).address.value_or(0); }
    void SetAddress(int id, std::uint32_t address) override { m_controls[id].address = address; }
    void SetCaption(int id, const std::string& text) override { m_controls[id].caption = text; }
    void Enable(int id, bool enabled) override { m_controls[id].enabled = enabled; }
    void SetCheck(int id, bool checked) override { m_controls[id].checked = checked; }
    bool IsChecked(int id) const override { return Get(id).checked; }
    void ResetContent(int id) override { m_controls[id].entries.clear(); }
    void AddString(int id, const std::string& text) override {
        m_controls[id].entries.push_back(text);
    }

    // The state of a control; a control never touched reads as it started.
    const Control& Get(int id) const {
        static const Control untouched;
        const auto found = m_controls.find(id);
        return found != m_controls.end() ? found->second : untouched;
    }

private:
    std::map<int, Control> m_controls;
};

}  // namespace dialogtest
