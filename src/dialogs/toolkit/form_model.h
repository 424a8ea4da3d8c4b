#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/toolkit/form_layout.h"

namespace kelcmd {
class CCommand;
class CParameterList;
}  // namespace kelcmd

namespace kelcmd::dialogs {

// Input forms edit the send parameters, result forms show the return parameters.
enum class FormSide { kSend, kReturn };

// What a field holds while the form is open.
struct FieldValue {
    std::string text;      // kNumber
    int choice = -1;       // kChoice, kList: the index of the chosen code, -1 for none
    uint32_t bits = 0;     // kBits: the whole value, bits not shown included
    bool checked = false;  // kCheck
};

// A refused field: its message, and the text the field is set to when the check corrects it.
struct FieldProblem {
    size_t field;
    std::string message;
    std::optional<std::string> corrected;
};

// The state and checks of one command form, without widgets: loaded from a command's parameters,
// checked, and stored back into the command.
class FormModel {
  public:
    FormModel(FormLayout form, FormSide side);

    const FormLayout& Form() const { return form_; }
    FormSide Side() const { return side_; }
    std::vector<FieldValue>& Values() { return values_; }
    const std::vector<FieldValue>& Values() const { return values_; }

    // The parameter each field shows; fields whose parameter the list lacks stay empty.
    void Load(const CParameterList& wire);
    // The first field that cannot be stored, in field order.
    std::optional<FieldProblem> Check() const;
    // Writes every field into its send parameter with the width of the parameter's type, and a
    // timeout field into the command's answer timeout. Fields that do not pass Check are left
    // out.
    void Store(CParameterList& wire, CCommand* command = nullptr) const;

  private:
    int IndexOf(const CParameterList& wire, size_t field) const;

    FormLayout form_;
    FormSide side_;
    std::vector<FieldValue> values_;
    std::vector<uint8_t> types_;
};

// The entry of a choice or list field that stands for `raw` (-1: none), and the code of an entry.
int ChoiceOfCode(const FieldLayout& field, uint32_t raw);
int64_t CodeOfChoice(const FieldLayout& field, int choice);

}  // namespace kelcmd::dialogs
