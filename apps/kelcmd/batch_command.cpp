#include "batch_command.h"

#include <cstdio>

#include "api/communication.h"
#include "batch_file.h"
#include "parameter_text.h"
#include "transport/kel_communication.h"
#include "transport/result_codes.h"

namespace kelcmd::app {
namespace {

// The member's status as the batch list shows it; a failed member names the unit's warning.
std::string StatusText(const CKelCommand& member) {
    if (member.GetStatus() == STATUS_FAILED && member.GetWarning() != 0) {
        return "Failed (" + CommandWarningText(member.GetWarning()) + ")";
    }
    return member.GetStatusText();
}

}  // namespace

int RunBatch(Session& session, const std::vector<std::string>& arguments) {
    if (arguments.size() != 2) {
        if (arguments.size() > 2) {
            std::fprintf(stderr, "kelcmd: run-batch: extra argument '%s'\n", arguments[2].c_str());
        }
        std::fprintf(stderr, "usage: kelcmd run-batch FILE.kbc\n");
        return 2;
    }
    const auto batch = LoadBatchFile(arguments[1]);
    if (!batch) return 1;
    if (batch->GetCommandCount() == 0 && batch->GetBatchType() != BATCH_QUIET_READ) {
        std::fprintf(stderr, "kelcmd: batch '%s' has no commands\n", batch->GetName().c_str());
        return 1;
    }
    // Attached to the manager, the batch and its members know the port table and their families.
    Communication().AttachCommand(batch.get());
    batch->SetPortName(session.options().port);
    batch->SetDestination(session.options().slave);
    std::printf("batch '%s' (%s, %zu commands) on %s, unit %u\n", batch->GetName().c_str(),
                BatchTypeName(batch->GetBatchType()), batch->GetCommandCount(),
                session.options().port.c_str(), session.options().slave);

    const int executed = batch->Execute();
    if (executed != 0) {
        std::printf("result: succeeded\n");
    } else if (const CKelCommand* failed = batch->FindFailedCommand();
               failed != nullptr && failed->GetWarning() != 0) {
        std::printf("result: failed at '%s': %s\n", failed->GetName().c_str(),
                    CommandWarningText(failed->GetWarning()).c_str());
    } else if (batch->GetError() != 0) {
        std::printf("result: failed: %s\n", ResultCodeText(batch->GetError()).c_str());
    } else {
        std::printf("result: failed\n");
    }

    const bool resultsExpected = batch->GetBatchType() != BATCH_QUIET_SEND;
    for (size_t i = 0; i < batch->GetCommandCount(); ++i) {
        CKelCommand& member = *batch->GetCommand(i);
        PrintMemberLine(i, member, StatusText(member).c_str());
        const CParameterList* list = member.GetSendParameters();
        if (list == nullptr || !resultsExpected) continue;
        PrintReturnParameters(*list, "      ", list->IsValid());
    }
    return executed != 0 ? 0 : 1;
}

}  // namespace kelcmd::app
