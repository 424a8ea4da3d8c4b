#pragma once

#include <QDialog>
#include <cstdint>

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace kelcmd {
class CKelStandardCommand;
}

namespace kelcmd::dialogs {

// "PutChar": a character chosen from the control characters (by their ASCII abbreviations and
// names) or from the printable ones; "Selected Ascii Number" shows its code. The list not in use
// reads "no char".
class PutCharDialog : public QDialog {
    Q_OBJECT

  public:
    explicit PutCharDialog(uint8_t code, QWidget* parent = nullptr);

    uint8_t Code() const { return code_; }

  private:
    void Select(uint8_t code);
    void UseList(bool control);

    uint8_t code_;
    QRadioButton* control_ = nullptr;
    QRadioButton* printable_ = nullptr;
    QComboBox* controlList_ = nullptr;
    QComboBox* printableList_ = nullptr;
    QLineEdit* number_ = nullptr;
};

int EditPutChar(CKelStandardCommand& command);

}  // namespace kelcmd::dialogs
