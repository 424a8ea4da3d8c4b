#include "dialogs/batch/batch_parameters.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <bit>
#include <cstdio>

#include "command/kel_command.h"
#include "command/parameter_list.h"
#include "command/parameter_types.h"
#include "dialogs/toolkit/text_format.h"
#include "dialogs/toolkit/typed_value.h"

namespace kelcmd::dialogs {
std::string BatchParameterValueText(uint8_t type, std::span<const uint8_t> bytes) {
    if (!IsKnownParameterType(type) || bytes.size() < ParameterTypeSize(type)) return kNotValid;
    const uint32_t value = ReadUnsigned(bytes);
    switch (type) {
        case TYPE_BYTE:
            return Printed("%i", static_cast<int>(value & 0xFF));
        case TYPE_WORD:
            return Printed("%i", static_cast<int>(value & 0xFFFF));
        case TYPE_INT:
            return Printed("%i", static_cast<int>(static_cast<int16_t>(value)));
        case TYPE_LWORD:
            // Unsigned: a value above 2^31 is no negative number.
            return Printed("%u", value);
        case TYPE_LINT:
            return Printed("%i", static_cast<int32_t>(value));
        case TYPE_FLOAT:
            return Printed("%.6f", static_cast<double>(std::bit_cast<float>(value)));
        case TYPE_BITS8:
            return BitPatternText(value, 8);
        case TYPE_BITS16:
            return BitPatternText(value, 16);
        case TYPE_BITS32:
            return BitPatternText(value, 32);
        case TYPE_BOOL:
            return (value & 0xFF) != 0 ? "TRUE" : "FALSE";
        default:
            return "NAN";
    }
}

std::vector<BatchParameterRow> SendParameterRows(CKelCommand& command) {
    std::vector<BatchParameterRow> rows;
    const CParameterList* list = command.GetSendParameters();
    if (list == nullptr) return rows;
    for (size_t i = 0; i < list->GetSendCount(); ++i) {
        const uint8_t type = list->GetSendType(i);
        rows.push_back({list->GetSendName(i), std::string(ParameterTypeBatchName(type)),
                        BatchParameterValueText(type, list->GetSendValue(i))});
    }
    return rows;
}

std::vector<BatchParameterRow> ReturnParameterRows(CKelCommand& command) {
    std::vector<BatchParameterRow> rows;
    const CParameterList* list = command.GetSendParameters();
    if (list == nullptr) return rows;
    for (size_t i = 0; i < list->GetReturnCount(); ++i) {
        const uint8_t type = list->GetReturnType(i);
        rows.push_back(
            {list->GetReturnName(i), std::string(ParameterTypeBatchName(type)),
             list->IsValid() ? BatchParameterValueText(type, list->GetReturnValue(i)) : kNotValid});
    }
    return rows;
}

QTreeWidget* NewParameterList(const char* objectName) {
    auto* list = new QTreeWidget;
    list->setObjectName(objectName);
    list->setHeaderLabels({"Name", "Type", "Value"});
    list->setRootIsDecorated(false);
    list->setAllColumnsShowFocus(true);
    list->setColumnWidth(0, 130);
    list->setColumnWidth(1, 80);
    list->header()->setStretchLastSection(true);
    return list;
}

void ShowParameterRows(QTreeWidget& list, const std::vector<BatchParameterRow>& rows) {
    list.clear();
    for (const BatchParameterRow& row : rows) {
        auto* item = new QTreeWidgetItem(&list);
        item->setText(0, QString::fromStdString(row.name));
        item->setText(1, QString::fromStdString(row.type));
        item->setText(2, QString::fromStdString(row.value));
    }
}

}  // namespace kelcmd::dialogs
