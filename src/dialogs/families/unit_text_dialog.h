#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kelcmd::dialogs {

// What the result window of ReadError or ReadWarning shows for a number.
struct UnitTextState {
    int16_t number = 0;
    std::string mnemonic;
    std::string text;
    bool clearEnabled = false;  // only a number other than 0 can be cleared
};

enum class UnitTextKind { kError, kWarning };

UnitTextState DescribeUnitText(UnitTextKind kind, int16_t number);

// "Number", "Mnemonic", the text, "&Clear" and "&OK". "&Clear" runs `clearAndRead` (clear the
// unit's error or warning, then read it again) and shows the new number; when that fails,
// "Command failed!" and the window keeps the old number.
class UnitTextDialog : public QDialog {
    Q_OBJECT

  public:
    using ClearAndRead = std::function<std::optional<int16_t>()>;

    UnitTextDialog(UnitTextKind kind, int16_t number, ClearAndRead clearAndRead,
                   QWidget* parent = nullptr);

    const UnitTextState& State() const { return state_; }
    void Clear();

  private:
    void Show();

    UnitTextKind kind_;
    UnitTextState state_;
    ClearAndRead clearAndRead_;
    QLineEdit* number_ = nullptr;
    QLineEdit* mnemonic_ = nullptr;
    QLabel* text_ = nullptr;
    QPushButton* clear_ = nullptr;
};

}  // namespace kelcmd::dialogs
