#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "kelcmd/kelcmd.h"

namespace kelcmd::dialogs {

// The pages of the system parameter sheet, in the order they are added.
enum SheetPage : int {
    kInitialisationPage,
    kConfigurationPage,
    kConfiguration2Page,
    kDriveUnitPage,
    kRegulationPage,
    kSpecialPage,
    kInfoPage,
    kExtendedPage,
    kSheetPageCount
};

const char* SheetPageTitle(int page);

enum class SheetFieldKind {
    kNumber,    // typed number
    kList,      // drop-down whose text must be one of its entries
    kCheck,     // a switch bit (bit >= 0) or a value that is 0 or 1
    kReadOnly,  // shown only
};

// One field of a page and where its value lies in the host's T_SysParamEx.
struct SheetField {
    int page = 0;
    std::string group;  // fields of one group share a frame ("" for none)
    std::string label;
    std::string unit;
    SheetFieldKind kind = SheetFieldKind::kNumber;
    uint8_t type = 0;  // TYPE_BYTE, TYPE_WORD, TYPE_INT, TYPE_LINT or TYPE_FLOAT
    size_t offset = 0;
    int bit = -1;
    std::vector<std::string> choices = {};  // kList: entry texts
    std::vector<int64_t> codes = {};        // kList: the value each entry stores
    // Set by "&Default values " and when the sheet opens without data; empty: left as it is.
    std::string defaultText = {};
    std::optional<std::pair<int64_t, int64_t>> clamp = std::nullopt;
    std::string listWarning = {};  // kList: shown when a text not in the list is replaced
    bool hex = false;              // kReadOnly: shown as hexadecimal
    bool split = false;            // the Home Position: two Int halves, high one first
};

// The fields of the sheet: the seven pages, and with `extended` the "Extended Parameter" page.
std::vector<SheetField> SheetFields(bool extended);

inline constexpr const char* kDefaultsSet = "Attention! Default values are set.";
inline constexpr const char* kPulseQuestion =
    "Only for special applications.Do you really want to change this value?";
inline constexpr const char* kResetQuestion = "Do you really want to reset the parameters?";
inline constexpr const char* kExtendTagValid = "The following parameters are valid!";
inline constexpr const char* kExtendTagInvalid =
    "ATTENTION: The following parameters are not valid!";
inline constexpr uint16_t kValidExtendTag = 54321;
inline constexpr int kPulseLengthDefault = 200;

// The sheet's state without widgets: one text per field (checks "1" / "0"), loaded from a set,
// checked while editing and on "&OK", and written back into the set. Fields left unchanged keep
// the set's bytes exactly.
class ParameterSheetModel {
  public:
    // Without data every page shows its defaults.
    ParameterSheetModel(bool extended, const std::optional<T_SysParamEx>& data);

    bool Extended() const { return extended_; }
    bool DataValid() const { return dataValid_; }
    const std::vector<SheetField>& Fields() const { return fields_; }
    std::vector<std::string>& Texts() { return texts_; }
    const std::vector<std::string>& Texts() const { return texts_; }
    // The field with this label on this page (the first), or -1.
    int Find(int page, const std::string& label, const std::string& group = {}) const;

    // Leaving a field: a clamped number is corrected; a list text not in its list becomes the
    // default, with the warning to show.
    std::optional<std::string> Leave(size_t field);
    // Whether leaving "Max. Pulse Length Speed" needs the question (a new value other than 200);
    // No puts 200 back.
    bool PulseLengthNeedsQuestion(size_t field) const;
    void KeepPulseLength(size_t field, bool keep);

    void SetPageDefaults(int page);
    // "Current threshold for Home" is used only by the current index searches.
    bool CurrentThresholdEnabled() const;
    bool ExtendTagValid() const;

    // On "&OK": list fields as when left, then the numbers; the first refused field and its
    // message.
    std::optional<std::pair<size_t, std::string>> Check();
    // The set with every changed field written.
    T_SysParamEx Result() const;

  private:
    std::string TextOf(const SheetField& field, const T_SysParamEx& set) const;

    bool extended_;
    bool dataValid_;
    std::vector<SheetField> fields_;
    T_SysParamEx original_{};
    std::vector<std::string> loaded_;
    std::vector<std::string> texts_;
    std::vector<std::string> accepted_;  // the texts last accepted after a question
};

}  // namespace kelcmd::dialogs
