#pragma once

#include <cstdint>
#include <string>

// The controls of an open dialog, addressed by the ids its template gives them. The dialog
// logic works through this interface only; the desktop's dialog window implements it.
class IDialogControls {
public:
    virtual ~IDialogControls() = default;

    // IPv4 address entry: the address with the first field in the most significant byte;
    // a blank field counts as 0, so a blank entry yields 0.
    virtual std::uint32_t GetAddress(int id) const = 0;
    virtual void SetAddress(int id, std::uint32_t address) = 0;

    // The caption of a button, check box or frame.
    virtual void SetCaption(int id, const std::string& text) = 0;
    virtual void Enable(int id, bool enabled) = 0;

    virtual void SetCheck(int id, bool checked) = 0;
    virtual bool IsChecked(int id) const = 0;

    // List box: ResetContent empties it, AddString appends one entry after the others.
    virtual void ResetContent(int id) = 0;
    virtual void AddString(int id, const std::string& text) = 0;
};
