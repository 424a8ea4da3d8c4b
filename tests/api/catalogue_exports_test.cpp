// The catalogue's exports against the prototypes they send: a C argument whose width differs from
// its wire parameter's would put wrong bytes on the wire without any test of that command noticing.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>

#include "api/command_export.h"
#include "api/families.h"

namespace kelcmd {
namespace {

uint32_t WidthOf(std::string_view code) {
    if (code.starts_with('*')) code.remove_prefix(1);
    static const std::map<std::string_view, uint32_t> widths = {{"u8", 1},  {"u16", 2}, {"u32", 4},
                                                                {"i16", 2}, {"i32", 4}, {"f32", 4}};
    const auto found = widths.find(code);
    return found != widths.end() ? found->second : 0;
}

TEST(CatalogueExports, EveryArgumentFitsTheWireParameterItFills) {
    size_t checked = 0;
    for (const CommandExport& entry : CommandExports()) {
        if (entry.command == nullptr) continue;  // written by hand
        SCOPED_TRACE(entry.name);
        ASSERT_NE(entry.invoke, nullptr);
        const CKelStandardCommand* prototype = entry.family().GetPrototype(entry.command);
        ASSERT_NE(prototype, nullptr);
        if (entry.handler != nullptr) continue;  // its handler places the arguments
        const CParameterList& wire = prototype->Wire();
        for (const ExportParameter& parameter : entry.parameters) {
            SCOPED_TRACE(parameter.name);
            const uint32_t width = WidthOf(parameter.code);
            if (parameter.sendIndex >= 0) {
                ASSERT_LT(parameter.sendIndex, wire.GetSendCount());
                if (width != 0) {
                    EXPECT_EQ(wire.GetSendSize(parameter.sendIndex), width);
                }
            }
            if (parameter.returnIndex >= 0) {
                ASSERT_LT(parameter.returnIndex, wire.GetReturnCount());
                if (width != 0) {
                    EXPECT_EQ(wire.GetReturnSize(parameter.returnIndex), width);
                }
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 150u);  // the check reached the catalogue
}

TEST(CatalogueExports, TheSignatureTextListsEveryExportOnceInOrder) {
    std::string expected;
    for (const CommandExport& entry : CommandExports()) {
        expected += entry.name;
        for (const ExportParameter& parameter : entry.parameters) {
            expected += std::string(" ") + parameter.code;
        }
        expected += "\n";
        EXPECT_EQ(FindCommandExport(entry.name), &entry);
    }
    EXPECT_EQ(CommandSignatureText(), expected);
    EXPECT_EQ(FindCommandExport("NoSuchCommand"), nullptr);
}

}  // namespace
}  // namespace kelcmd
