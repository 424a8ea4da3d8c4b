#include "dialogs/batch/batch_result.h"

#include "api/unit_texts.h"
#include "command/kel_batch_command.h"

namespace kelcmd::dialogs {
namespace {

struct TypeTexts {
    const char* succeeded;
    const char* failed;
    const char* box;
};

TypeTexts TextsOf(uint32_t type) {
    switch (type) {
        case BATCH_QUIET_SEND:
            return {"Sending of 'QuietBatch' command succeeded!",
                    "Sending 'QuietBatch' command failed!", "Failed sending 'QuietBatch' command!"};
        case BATCH_QUIET_READ:
            return {"Reading of 'QuietBatch' return parameter succeeded!",
                    "Reading 'QuietBatch' command failed!", "Failed reading 'QuietBatch' command!"};
        default:
            return {"Executing 'Batch' command succeeded!", "Executing 'Batch' command failed!",
                    "Failed executing 'Batch' command!"};
    }
}

}  // namespace

BatchResultText DescribeBatchResult(const CKelBatchCommand& batch, int result) {
    const TypeTexts texts = TextsOf(batch.GetBatchType());
    if (result != 0) return {texts.succeeded, ""};
    if (batch.GetStatus() == STATUS_IDLE) {
        return {batch.GetBatchType() == BATCH_QUIET_SEND ? "QuietBatch Command not executed!"
                                                         : "Batch Command not executed!",
                texts.box};
    }
    if (batch.GetError() != 0) {
        return {std::string(texts.failed) + "\nError: " + batch.GetErrorText(), texts.box};
    }
    if (const CKelCommand* failed = batch.FindFailedCommand();
        failed != nullptr && failed->GetWarning() != 0) {
        const UnitText warning = LookupUnitWarning(failed->GetWarning());
        return {"Failed Command\t: " + failed->GetName() + "\nWarning\t\t: Number " +
                    std::to_string(failed->GetWarning()) + "; " + std::string(warning.mnemonic) +
                    "; " + std::string(warning.text),
                texts.box};
    }
    return {texts.failed, texts.box};
}

std::string StackedStatusText(const CCommand& command) {
    if (command.GetError() != 0) return "Error " + std::to_string(command.GetError());
    if (command.GetWarning() != 0) return "Warning " + std::to_string(command.GetWarning());
    return command.GetStatusText();
}

}  // namespace kelcmd::dialogs
