#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kelcmd {
class CKelStandardCommand;
class CParameterList;
}  // namespace kelcmd

namespace kelcmd::dialogs {

// How one parameter is shown.
enum class FieldKind {
    kNumber,  // a typed number with its unit
    kChoice,  // radio buttons, one per code, in code order
    kList,    // a drop-down list, one entry per code, in code order
    kBits,    // one check box per named bit
    kCheck,   // one check box for a Bool
    kText,    // the bytes of a byte array as text; stored with the text's length
};

struct BitLabel {
    int bit;
    std::string label = {};
};

// One field of a command form, bound to a parameter by name: a send parameter in an input form,
// a return parameter in a result form.
struct FieldLayout {
    std::string parameter = {};
    std::string label = {};
    FieldKind kind = FieldKind::kNumber;
    std::string unit = {};
    // kChoice, kList: the labels of the codes firstCode, firstCode + 1, ...
    std::vector<std::string> choices = {};
    int64_t firstCode = 0;
    // kChoice, kList: the code of each entry where the codes are not consecutive (empty: firstCode
    // + position).
    std::vector<int64_t> codes = {};
    // kBits: the bits shown, in display order; bits not listed keep their value.
    std::vector<BitLabel> bits = {};
    // A timeout in ms: "( 0 = infinite )" beside it, and the value also becomes the command's
    // answer timeout.
    bool timeout = false;
    // An accepted range narrower than the type's.
    std::optional<std::pair<int64_t, int64_t>> range = std::nullopt;
    // Consecutive fields with the same group are framed together under that title.
    std::string group = {};
    // Shown in an input form without being edited (a name beside the value it belongs to).
    bool readOnly = false;
};

// A check of the fields' texts that runs on "&OK" before the number checks: the refused field and
// the message, or nothing when the texts pass.
using TextCheck = std::function<std::optional<std::pair<size_t, std::string>>(
    const std::vector<std::string>& texts)>;

struct FormLayout {
    std::string title;
    std::vector<FieldLayout> fields;
    TextCheck textCheck = nullptr;
};

// Everything a command shows: an input form (none: the command runs without asking), a result
// form, or its result as a message instead, or the unit's error or warning with "&Clear".
struct CommandForms {
    enum class UnitText { kNone, kError, kWarning };

    std::optional<FormLayout> input = std::nullopt;
    std::optional<FormLayout> result = std::nullopt;
    std::function<std::string(const CParameterList& wire)> resultMessage = nullptr;
    UnitText unitText = UnitText::kNone;
    // A command whose dialogs are not plain forms: its own input window (1: confirmed and stored
    // into the command, 0: cancelled) and its own result window (1: shown).
    std::function<int(CKelStandardCommand& command)> editInput = nullptr;
    std::function<int(CKelStandardCommand& command)> showResult = nullptr;
};

// Field builders for the per-command tables.
FieldLayout Number(std::string parameter, std::string label, std::string unit = {});
FieldLayout Timeout(std::string parameter, std::string label = "Timeout");
FieldLayout Choice(std::string parameter, std::string label, std::vector<std::string> choices,
                   int64_t firstCode = 0);
FieldLayout List(std::string parameter, std::string label, std::vector<std::string> choices,
                 int64_t firstCode = 0);
FieldLayout Bits(std::string parameter, std::string label, std::vector<BitLabel> bits);
// "prefix first" ... "prefix last" for bits 0, 1, ...
std::vector<BitLabel> NumberedBits(const std::string& prefix, int first, int count);
std::vector<std::string> NumberedNames(const std::string& prefix, int first, int count);

}  // namespace kelcmd::dialogs
