#include "show_command.h"

#include <cstdio>
#include <memory>

#include "api/recorded_data.h"
#include "api/recorded_data_file.h"
#include "batch_file.h"
#include "command/command_files.h"
#include "command/parameter_types.h"
#include "file_bytes.h"
#include "file_version.h"
#include "parameter_text.h"
#include "quiet_prompt.h"

namespace kelcmd::app {
namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

void PrintReturnDeclarations(const CParameterList& list, const char* indent) {
    for (size_t i = 0; i < list.GetReturnCount(); ++i) {
        std::printf("%s%s %s (%u bytes)\n", indent, list.GetReturnName(i).c_str(),
                    std::string(ParameterTypeBatchName(list.GetReturnType(i))).c_str(),
                    list.GetReturnSize(i));
    }
}

void PrintStructure(const CStructureDefinition& definition, const char* indent) {
    std::printf("%sstructure '%s': %zu elements, %llu bytes (%llu aligned)\n", indent,
                definition.GetName().c_str(), definition.GetElementCount(),
                static_cast<unsigned long long>(definition.Size(false)),
                static_cast<unsigned long long>(definition.Size(true)));
    for (const StructureElement& element : definition.GetElements()) {
        std::printf("%s  %-20s %-6s x%u  %llu bytes\n", indent, element.name.c_str(),
                    ElementTypeName(element.type), element.count,
                    static_cast<unsigned long long>(CStructureDefinition::ElementSize(element)));
    }
}

int ShowBatch(const std::string& path) {
    const auto batch = LoadBatchFile(path);
    if (!batch) return 1;
    std::printf("batch '%s': %s, %zu commands, total timeout %u ms\n", batch->GetName().c_str(),
                BatchTypeName(batch->GetBatchType()), batch->GetCommandCount(),
                batch->ComputeAnswerTimeout());
    for (size_t i = 0; i < batch->GetCommandCount(); ++i) {
        CKelCommand& member = *batch->GetCommand(i);
        PrintMemberLine(i, member, nullptr);
        if (const CParameterList* list = member.GetSendParameters()) {
            PrintSendParameters(*list, "      send   ");
            PrintReturnDeclarations(*list, "      return ");
        }
    }
    return 0;
}

int ShowCustomerSet(const std::string& path) {
    const auto bytes = ReadFileBytes(path);
    if (!bytes) return 1;
    QuietPrompt quiet;
    std::unique_ptr<CCustomerCommandSet> set;
    const FileStatus status = LoadCustomerSetBytes(*bytes, set);
    if (status != FileStatus::kOk || !set) {
        const std::string why = status == FileStatus::kBadVersion
                                    ? VersionProblem(*bytes, kCustomerFileVersion)
                                    : CustomerFileMessage(status, "", path);
        std::fprintf(stderr, "kelcmd: %s is not a customer command set file: %s\n", path.c_str(),
                     why.c_str());
        return 1;
    }
    std::printf("customer command set '%s': %zu commands\n", set->GetClientName().c_str(),
                set->GetCommands().size());
    for (const auto& command : set->GetCommands()) {
        std::printf("  %s (type number 0x%.2X)\n", command->GetName().c_str(), command->GetCode());
        const CParameterList& list = command->Parameters();
        for (size_t i = 0; i < list.GetSendCount(); ++i) {
            std::printf("    PC -> KEL  %s %s (%u bytes)\n", list.GetSendName(i).c_str(),
                        std::string(ParameterTypeBatchName(list.GetSendType(i))).c_str(),
                        list.GetSendSize(i));
        }
        PrintReturnDeclarations(list, "    PC <- KEL  ");
        for (const StructureAttachment& attachment : command->SendAttachments()) {
            std::printf("    send parameter %u is shown as\n", attachment.parameterIndex);
            PrintStructure(attachment.structure, "      ");
        }
        for (const StructureAttachment& attachment : command->ReturnAttachments()) {
            std::printf("    return parameter %u is shown as\n", attachment.parameterIndex);
            PrintStructure(attachment.structure, "      ");
        }
    }
    return 0;
}

int ShowStructure(const std::string& path) {
    const auto bytes = ReadFileBytes(path);
    if (!bytes) return 1;
    CStructureDefinition definition;
    const FileStatus status = LoadStructureBytes(*bytes, definition);
    if (status != FileStatus::kOk) {
        const std::string why = status == FileStatus::kBadVersion
                                    ? VersionProblem(*bytes, kStructureFileVersion)
                                    : StructureFileMessage(status, path);
        std::fprintf(stderr, "kelcmd: %s is not a structure definition file: %s\n", path.c_str(),
                     why.c_str());
        return 1;
    }
    PrintStructure(definition, "");
    return 0;
}

void PrintPoint(const char* which, const RecordedPoint& point, const std::string& unit) {
    if (const auto* value = std::get_if<int16_t>(&point.value)) {
        std::printf("      %s  %d %s: %d\n", which, point.time, unit.c_str(), *value);
    } else {
        std::printf("      %s  %d %s: %g\n", which, point.time, unit.c_str(),
                    static_cast<double>(std::get<float>(point.value)));
    }
}

int ShowRecordedData(const std::string& path) {
    const auto bytes = ReadFileBytes(path);
    if (!bytes) return 1;
    QuietPrompt quiet;
    CRecordedData data;
    switch (LoadRecordedData(*bytes, data)) {
        case RecordedDataLoad::kLoaded:
            break;
        case RecordedDataLoad::kWrongVersion:
            std::fprintf(stderr, "kelcmd: %s is not a recorded data file: %s\n", path.c_str(),
                         VersionProblem(*bytes, kRecordedDataFileVersion).c_str());
            return 1;
        default:
            std::fprintf(stderr,
                         "kelcmd: %s is not a recorded data file: it is truncated or "
                         "damaged\n",
                         path.c_str());
            return 1;
    }
    std::printf("recorded data: %zu curves\n", data.Curves().size());
    for (const RecordedCurve& curve : data.Curves()) {
        std::printf("  vector %u  signal %u '%s': %zu points, period %u %s, %s, style %d\n",
                    curve.vector, curve.signal, curve.name.c_str(), curve.points.size(),
                    curve.period, curve.timeUnit.c_str(), curve.shown ? "shown" : "hidden",
                    curve.style);
        if (curve.points.empty()) continue;
        PrintPoint("first", curve.points.front(), curve.timeUnit);
        PrintPoint("last ", curve.points.back(), curve.timeUnit);
    }
    return 0;
}

}  // namespace

int RunShow(const std::vector<std::string>& arguments) {
    if (arguments.size() != 2) {
        if (arguments.size() > 2) {
            std::fprintf(stderr, "kelcmd: show: extra argument '%s'\n", arguments[2].c_str());
        }
        std::fprintf(stderr, "usage: kelcmd show FILE.kbc|FILE.ccs|FILE.usp|FILE.rda\n");
        return 2;
    }
    const std::string& path = arguments[1];
    if (const std::string problem = NotARegularFile(path); !problem.empty()) {
        std::fprintf(stderr, "kelcmd: %s: %s\n", path.c_str(), problem.c_str());
        return 1;
    }
    if (EndsWith(path, ".kbc")) return ShowBatch(path);
    if (EndsWith(path, ".ccs")) return ShowCustomerSet(path);
    if (EndsWith(path, ".usp")) return ShowStructure(path);
    if (EndsWith(path, ".rda")) return ShowRecordedData(path);
    std::fprintf(stderr, "kelcmd: %s: unknown file type (expected .kbc, .ccs, .usp or .rda)\n",
                 path.c_str());
    return 2;
}

}  // namespace kelcmd::app
