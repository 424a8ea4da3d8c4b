#include "dialogs/toolkit/form_layout.h"

namespace kelcmd::dialogs {

FieldLayout Number(std::string parameter, std::string label, std::string unit) {
    FieldLayout field{std::move(parameter), std::move(label)};
    field.unit = std::move(unit);
    return field;
}

FieldLayout Timeout(std::string parameter, std::string label) {
    FieldLayout field = Number(std::move(parameter), std::move(label), "ms");
    field.timeout = true;
    return field;
}

FieldLayout Choice(std::string parameter, std::string label, std::vector<std::string> choices,
                   int64_t firstCode) {
    FieldLayout field{std::move(parameter), std::move(label), FieldKind::kChoice};
    field.choices = std::move(choices);
    field.firstCode = firstCode;
    return field;
}

FieldLayout List(std::string parameter, std::string label, std::vector<std::string> choices,
                 int64_t firstCode) {
    FieldLayout field =
        Choice(std::move(parameter), std::move(label), std::move(choices), firstCode);
    field.kind = FieldKind::kList;
    return field;
}

FieldLayout Bits(std::string parameter, std::string label, std::vector<BitLabel> bits) {
    FieldLayout field{std::move(parameter), std::move(label), FieldKind::kBits};
    field.bits = std::move(bits);
    return field;
}

std::vector<BitLabel> NumberedBits(const std::string& prefix, int first, int count) {
    std::vector<BitLabel> bits;
    for (int i = 0; i < count; ++i) bits.push_back({i, prefix + std::to_string(first + i)});
    return bits;
}

std::vector<std::string> NumberedNames(const std::string& prefix, int first, int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) names.push_back(prefix + std::to_string(first + i));
    return names;
}

}  // namespace kelcmd::dialogs
