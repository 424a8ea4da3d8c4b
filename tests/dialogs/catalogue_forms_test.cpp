// The forms the catalogue gives: every field is bound to a parameter its command really has, so
// that a misspelt name in the catalogue cannot leave a field that edits or shows nothing.
#include <gtest/gtest.h>

#include "api/families.h"
#include "command/command_family.h"
#include "command/kel_standard_command.h"
#include "command/parameter_list.h"
#include "dialogs/families/form_table.h"

namespace kelcmd::dialogs {
namespace {

const CKelStandardCommand* Prototype(const std::string& name) {
    for (CCommandFamily* family : Families().InOrder()) {
        if (const CKelStandardCommand* prototype = family->GetPrototype(name)) return prototype;
    }
    return nullptr;
}

TEST(CatalogueFormsTest, EveryFieldNamesAParameterOfItsCommand) {
    const FormTable table = CatalogueForms();
    ASSERT_FALSE(table.empty());
    for (const auto& [name, forms] : table) {
        const CKelStandardCommand* prototype = Prototype(name);
        ASSERT_NE(prototype, nullptr) << name << " has forms but is no command";
        const CParameterList& wire = prototype->Wire();
        if (forms.input) {
            for (const FieldLayout& field : forms.input->fields) {
                if (field.parameter.empty()) continue;  // filled by the command's own code
                EXPECT_GE(wire.FindSend(field.parameter), 0) << name << ": " << field.parameter;
            }
        }
        if (forms.result) {
            for (const FieldLayout& field : forms.result->fields) {
                EXPECT_GE(wire.FindReturn(field.parameter), 0) << name << ": " << field.parameter;
            }
        }
    }
}

TEST(CatalogueFormsTest, ChoicesAndBitsHaveTheirLabels) {
    const CommandForms* find = FindCommandForms("FindHomeEx");
    ASSERT_NE(find, nullptr);
    const FieldLayout& type = find->input->fields.at(0);
    EXPECT_EQ(type.kind, FieldKind::kList);
    EXPECT_EQ(type.firstCode, 1);
    EXPECT_EQ(type.choices.size(), HomeProcedureNames().size());
    EXPECT_EQ(type.group, "Special Parameter");

    const CommandForms* status = FindCommandForms("ReadECStatus");
    ASSERT_NE(status, nullptr);
    const FieldLayout& bits = status->result->fields.at(0);
    ASSERT_EQ(bits.bits.size(), 7u);
    EXPECT_EQ(bits.bits[2].bit, 3);  // bit 2 is not shown
    EXPECT_EQ(bits.bits[6].label, "Overcurrent Protection disabled");
    EXPECT_EQ(status->result->fields.at(1).label,
              "Temperature of printed circuit board near\n the power transistors.");

    const CommandForms* putFloat = FindCommandForms("PutFloat_Dec");
    ASSERT_NE(putFloat, nullptr);
    EXPECT_EQ(putFloat->input->fields.at(1).codes, (std::vector<int64_t>{'f', 'e', 'E', 'g', 'G'}));
    EXPECT_TRUE(putFloat->input->textCheck);
    EXPECT_EQ(FindCommandForms("ClearError"), nullptr);  // shown by its parameter list
}

}  // namespace
}  // namespace kelcmd::dialogs
