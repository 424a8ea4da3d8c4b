#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class QTreeWidget;

namespace kelcmd {
class CKelCommand;
}

namespace kelcmd::dialogs {

// One row of "Parameter List" or "Return Parameter List".
struct BatchParameterRow {
    std::string name;
    std::string type;
    std::string value;
    bool operator==(const BatchParameterRow&) const = default;
};

inline constexpr const char* kNotValid = "not valid";

// The value as these lists show it: whole numbers in decimal, Float with six decimals, "NAN" for
// the structures and blocks, bit sets highest bit first in groups of four, "TRUE"/"FALSE".
// A value with fewer bytes than its type needs, or of an unknown type, is "not valid".
std::string BatchParameterValueText(uint8_t type, std::span<const uint8_t> bytes);

// The outgoing and the incoming parameters of a stacked command. Return values that no answer
// has filled are "not valid".
std::vector<BatchParameterRow> SendParameterRows(CKelCommand& command);
std::vector<BatchParameterRow> ReturnParameterRows(CKelCommand& command);

// A list with the columns "Name", "Type", "Value", and its filling.
QTreeWidget* NewParameterList(const char* objectName);
void ShowParameterRows(QTreeWidget& list, const std::vector<BatchParameterRow>& rows);

}  // namespace kelcmd::dialogs
