#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QLineEdit;

namespace kelcmd::dialogs {

// The generic "Edit Value" editors: a caption naming the value, the value, "&OK" and "&Cancel".
// Each works on a copy of the value and hands it back through Value() once "&OK" succeeded.

// Byte, Word, LWord (unsigned), Int, LInt (signed) and Float. "&OK" checks the type's range:
// "Type range exceeded" sets the field to 0 (unsigned) or -32768 (signed) and the dialog stays
// open; text that is no number is refused likewise without a correction; any other type is
// refused with "Data Type failure".
class NumberEditorDialog : public QDialog {
    Q_OBJECT

  public:
    NumberEditorDialog(const std::string& caption, uint8_t type, std::vector<uint8_t> value,
                       QWidget* parent = nullptr);
    void TryAccept();
    const std::vector<uint8_t>& Value() const { return value_; }

  private:
    uint8_t type_;
    std::vector<uint8_t> value_;
    QLineEdit* edit_ = nullptr;
};

// Bits8, Bits16, Bits32: one check box per bit, "Bit 0" to "Bit 7", "Bit 15" or "Bit 31".
class BitsEditorDialog : public QDialog {
    Q_OBJECT

  public:
    BitsEditorDialog(const std::string& caption, uint8_t type, std::vector<uint8_t> value,
                     QWidget* parent = nullptr);
    void TryAccept();
    const std::vector<uint8_t>& Value() const { return value_; }

  private:
    uint8_t type_;
    std::vector<uint8_t> value_;
    std::vector<QCheckBox*> bits_;
};

// Bool: one check box.
class BoolEditorDialog : public QDialog {
    Q_OBJECT

  public:
    BoolEditorDialog(const std::string& caption, std::vector<uint8_t> value,
                     QWidget* parent = nullptr);
    void TryAccept();
    const std::vector<uint8_t>& Value() const { return value_; }

  private:
    std::vector<uint8_t> value_;
    QCheckBox* check_ = nullptr;
};

// Shows the editor for `type` (the number editor for types it refuses). True, and the new value
// in `value`, when the user confirmed.
bool EditValue(const std::string& caption, uint8_t type, std::vector<uint8_t>& value,
               QWidget* parent = nullptr);

}  // namespace kelcmd::dialogs
