#include "dialogs/qt/IpAddressEdit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QValidator>
#include <algorithm>

namespace {

constexpr int kMaxFieldValue = 255;
constexpr int kFieldDigits = 3;
// Room around a field's digits, in pixels at scale 1.
constexpr int kFieldPadding = 8;
constexpr unsigned kByteBits = 8;
constexpr std::uint32_t kByteMask = 0xFF;

// Blank or a number from 0 to 255; anything else is refused as it is typed.
class COctetValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int&) const override {
        if (input.isEmpty()) {
            return Acceptable;
        }
        bool isNumber = false;
        const int value = input.toInt(&isNumber);
        const bool digitsOnly =
            std::all_of(input.begin(), input.end(), [](QChar c) { return c.isDigit(); });
        return isNumber && digitsOnly && value <= kMaxFieldValue ? Acceptable : Invalid;
    }
};

int FieldValue(const QLineEdit* field) {
    return field->text().isEmpty() ? 0 : field->text().toInt();
}

}  // namespace

CIpAddressEdit::CIpAddressEdit(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(0);
    auto* validator = new COctetValidator(this);
    const int fieldWidth = fontMetrics().horizontalAdvance(QStringLiteral("000")) + kFieldPadding;
    for (int index = 0; index < kFieldCount; ++index) {
        if (index > 0) {
            auto* dot = new QLabel(QStringLiteral("."), this);
            dot->setAlignment(Qt::AlignCenter);
            layout->addWidget(dot);
        }
        auto* field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("field%1").arg(index));
        field->setFrame(false);
        field->setAlignment(Qt::AlignCenter);
        field->setMaxLength(kFieldDigits);
        field->setValidator(validator);
        field->setFixedWidth(fieldWidth);
        // Tab leaves the control; the fields are reached with "." and the arrows.
        field->setFocusPolicy(index == 0 ? Qt::StrongFocus : Qt::ClickFocus);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this, index](const QString& text) {
            emit fieldChanged(index);
            if (text.size() == kFieldDigits && index + 1 < kFieldCount) {
                FocusField(index + 1, true);
            }
        });
        layout->addWidget(field);
        m_fields[static_cast<std::size_t>(index)] = field;
    }
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusProxy(m_fields[0]);
    setFocusPolicy(Qt::StrongFocus);
}

std::uint32_t CIpAddressEdit::Address() const {
    std::uint32_t address = 0;
    for (const QLineEdit* field : m_fields) {
        address = (address << kByteBits) | static_cast<std::uint32_t>(FieldValue(field));
    }
    return address;
}

void CIpAddressEdit::SetAddress(std::uint32_t address) {
    for (int index = kFieldCount - 1; index >= 0; --index) {
        m_fields[static_cast<std::size_t>(index)]->setText(QString::number(address & kByteMask));
        address >>= kByteBits;
    }
}

bool CIpAddressEdit::IsBlank() const {
    return std::all_of(m_fields.begin(), m_fields.end(),
                       [](const QLineEdit* field) { return field->text().isEmpty(); });
}

int CIpAddressEdit::IndexOf(const QObject* field) const {
    const auto found = std::find(m_fields.begin(), m_fields.end(), field);
    return found == m_fields.end() ? -1 : static_cast<int>(found - m_fields.begin());
}

void CIpAddressEdit::FocusField(int index, bool atStart) {
    QLineEdit* field = m_fields[static_cast<std::size_t>(index)];
    field->setFocus(Qt::OtherFocusReason);
    if (atStart) {
        field->selectAll();
    } else {
        field->end(false);
    }
}

bool CIpAddressEdit::eventFilter(QObject* watched, QEvent* event) {
    const int index = IndexOf(watched);
    if (index < 0 || event->type() != QEvent::KeyPress) {
        return QFrame::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const QLineEdit* field = m_fields[static_cast<std::size_t>(index)];
    const bool hasNext = index + 1 < kFieldCount;
    const bool hasPrevious = index > 0;
    switch (key->key()) {
        case Qt::Key_Period:
        case Qt::Key_Space:
            if (hasNext && !field->text().isEmpty()) {
                FocusField(index + 1, true);
            }
            return true;
        case Qt::Key_Backspace:
            if (hasPrevious && field->text().isEmpty()) {
                FocusField(index - 1, false);
                return true;
            }
            break;
        case Qt::Key_Left:
            if (hasPrevious && field->cursorPosition() == 0 && !field->hasSelectedText()) {
                FocusField(index - 1, false);
                return true;
            }
            break;
        case Qt::Key_Right:
            if (hasNext && field->cursorPosition() == field->text().size()) {
                FocusField(index + 1, true);
                return true;
            }
            break;
        default:
            break;
    }
    return QFrame::eventFilter(watched, event);
}
