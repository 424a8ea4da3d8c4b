// Writes the sample batch file examples/move.kbc: position regulation on, moves that answer on
// arrival, and a move to 1500 qc that reports its flags and duration. The members are copies of the
// library's own catalogue commands, so the file is what the batch editor would store.
#include <cstdio>

#include "api/catalogue_call.h"
#include "api/families.h"
#include "command/command_files.h"

using namespace kelcmd;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE.kbc\n", argv[0]);
        return 2;
    }
    CCommandFamily* motion = &Families().MotionControl();
    CKelBatchCommand batch;
    batch.SetName("Move");
    batch.AppendCommand(PrepareCatalogueCall(motion, "Com1", 1, "SetRegMode", {Value(uint8_t{2})}));
    batch.AppendCommand(
        PrepareCatalogueCall(motion, "Com1", 1, "SetWaitMode", {Value(uint8_t{1})}));
    batch.AppendCommand(PrepareCatalogueCall(motion, "Com1", 1, "MoveAbsoluteInfo",
                                             {Value(int32_t{1500})}, {}, Timeout(5000)));
    if (batch.GetCommandCount() != 3 || WriteBatchFile(argv[1], batch) != FileStatus::kOk) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
