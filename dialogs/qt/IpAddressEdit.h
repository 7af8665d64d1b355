#pragma once

#include <QFrame>
#include <array>
#include <cstdint>

class QLineEdit;

// An IPv4 address entry of four fields, 0-255 each, framed like one line edit. A blank
// field counts as 0. Every change the user makes to a field is reported by fieldChanged;
// an address set by the program is not. Keyboard: "." or a space moves on to the next
// field, as does a third digit; Backspace in an empty field and the arrow keys at a
// field's edge move between fields. The control is one stop in the tab order.
class CIpAddressEdit : public QFrame {
    Q_OBJECT

public:
    static constexpr int kFieldCount = 4;

    explicit CIpAddressEdit(QWidget* parent = nullptr);

    // The address, first field in the most significant byte.
    std::uint32_t Address() const;
    // Shows `address`, every field filled in.
    void SetAddress(std::uint32_t address);
    bool IsBlank() const;

    // The field edits, for the tab order and for tests ("field0" ... "field3").
    QLineEdit* Field(int index) const { return m_fields[static_cast<std::size_t>(index)]; }

signals:
    void fieldChanged(int field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int IndexOf(const QObject* field) const;
    void FocusField(int index, bool atStart);

    std::array<QLineEdit*, kFieldCount> m_fields{};
};
