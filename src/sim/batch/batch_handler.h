#pragma once

namespace kelcmd::sim {

class SimUnit;

// Makes the unit execute batches: code 5 ("Batch") runs the members and answers with each
// executed member's code and results; code 4 with data ("QuietBatch_Send") runs the members and
// keeps the answer, which code 4 without data ("QuietBatch_Read") returns later. A member that
// is refused ends the batch: the answer then has mtype 6 and ends with the member's code and
// warning.
void InstallBatchHandler(SimUnit& unit);

}  // namespace kelcmd::sim
