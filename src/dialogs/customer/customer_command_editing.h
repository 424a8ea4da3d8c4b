#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "command/kel_customer_command.h"
#include "command/structure_definition.h"

namespace kelcmd::dialogs {

inline constexpr const char* kEnterName = "Enter a name!";
inline constexpr const char* kNameExists = "Name already exists!";
inline constexpr const char* kTypeNumberNotCorrect =
    "Type number is not correct!\nEnter only two digits!";
inline constexpr const char* kMessageTooLong = "Message is too long!\nMore than 1023bytes";
inline constexpr const char* kTooManyParameters = "Too many parameters!\nMore than 255";

inline constexpr const char* kOutgoingText = "PC -> KEL";
inline constexpr const char* kIncomingText = "PC <- KEL";

// A type the "Add" dialog offers for customer parameters, in list order.
struct OfferedParameterType {
    uint8_t type;
    const char* text;       // the list entry
    const char* shortName;  // the "Type" column
};
const std::vector<OfferedParameterType>& OfferedParameterTypes();

// The "Type" column of a parameter: the short name of an offered type ("Struct" for the
// structure bytes), the plain type name for any other code.
std::string CustomerTypeName(uint8_t type);

// A type number as typed by the user: one or two hexadecimal digits, either letter case.
std::optional<uint8_t> ParseTypeNumber(const std::string& text);
// The type number in the edit field ("0A") and in the command list ("0x0A").
std::string TypeNumberText(uint8_t code);
std::string TypeNumberColumn(uint8_t code);

// One row of "Defined Parameters". Outgoing and incoming parameters share the rows; a row's
// position among the rows of its own direction is its index in that direction's list.
struct CustomerParameterRow {
    std::string name;
    uint8_t type = 0;
    bool incoming = false;
    std::vector<uint8_t> value;
    // The structure that describes the bytes of a "Struct" parameter, when it has one.
    std::optional<CStructureDefinition> structure;
};

// The edits of the "Customer Command" dialog without its widgets. It works on rows and builds
// the command from them only when asked, so that moving a row past one of the other direction
// leaves both parameter lists as they were.
class CustomerCommandEditor {
  public:
    // Structure bytes are counted as a unit holds them (aligned), the layout in which "Enter
    // Parameter" fills and sends them.
    static constexpr bool kStructureAligned = true;

    // A new command starts with an empty type number; an existing one shows its own.
    CustomerCommandEditor(const CKelCustomerCommand& command, bool newCommand);

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    const std::string& TypeNumber() const { return typeNumber_; }
    void SetTypeNumber(std::string text) { typeNumber_ = std::move(text); }
    const std::vector<CustomerParameterRow>& Rows() const { return rows_; }

    // Appends a parameter of an offered type with a zero value; a "Struct" parameter starts with
    // an empty structure. "" or the message to show (name taken, too many, too long, unknown type);
    // on a message nothing changes.
    std::string AddParameter(const std::string& name, uint8_t type, bool incoming);
    void Delete(size_t row);
    void DeleteAll() { rows_.clear(); }
    // False at either end or for a row out of range.
    bool MoveUp(size_t row);
    bool MoveDown(size_t row);

    // The row's index in its own direction's list.
    size_t DirectionIndex(size_t row) const;
    // The "Length" column: the type's byte size, a structure's defined size.
    uint32_t Length(size_t row) const;
    // How many bytes the structure of a "Struct" row may take: what the other parameters of its
    // direction leave of a message's 1023 data bytes.
    uint32_t StructureLimit(size_t row) const;
    // Gives a "Struct" row its structure; its value takes the structure's size, keeping the
    // leading bytes. False (nothing changed) for another row or a structure beyond the limit.
    bool SetStructure(size_t row, const CStructureDefinition& structure);

    // What "&OK" checks: the type number, then the name. "" when the command may be taken.
    std::string Check() const;
    // The command as edited: the original with name, type number, parameters and structures
    // replaced. Call after Check() succeeded.
    std::unique_ptr<CKelCustomerCommand> Result() const;

  private:
    bool NameTaken(const std::string& name) const;
    uint32_t DirectionBytes(bool incoming, std::optional<size_t> except) const;
    size_t DirectionCount(bool incoming) const;

    CKelCustomerCommand original_;
    std::string name_;
    std::string typeNumber_;
    std::vector<CustomerParameterRow> rows_;
};

}  // namespace kelcmd::dialogs
