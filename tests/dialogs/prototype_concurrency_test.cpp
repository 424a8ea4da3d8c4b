// A dialog edits and executes its family's prototype on the GUI thread while a plain export on
// another thread copies the same prototype: every copy is whole (ThreadSanitizer sees no race).
#include <atomic>
#include <set>
#include <thread>

#include "api/family_test_support.h"
#include "dialog_test_support.h"
#include "kelcmd/kelcmd_dialogs.h"

namespace kelcmd::testing {
namespace {

TEST_F(DialogTest, PrototypeConcurrencyDialogAndExportOnOneFamily) {
    SimPort port(8);
    AnswerCodes(port.Unit(1), 73, 73, {});
    std::atomic<bool> done{false};
    std::atomic<int> exported{0};
    std::thread worker([&] {
        while (!done) exported += MP_SetCurrent(port.name.c_str(), 1, 700);
    });
    for (int i = 1; i <= 5; ++i) {
        ModalScript script(
            {Ok([i](QDialog& d) { Type(d, "current", std::to_string(i * 100 + 1)); })});
        EXPECT_EQ(MP_SetCurrentDlg(port.name.c_str(), 1), 1);
    }
    while (exported == 0) std::this_thread::yield();
    done = true;
    worker.join();

    std::set<int> values;
    for (const WireRequest& request : WireRequests(port)) {
        ASSERT_EQ(request.data.size(), 2u);
        values.insert(static_cast<int16_t>(request.data[0] << 8 | request.data[1]));
    }
    EXPECT_EQ(values, (std::set<int>{101, 201, 301, 401, 501, 700}));
}

}  // namespace
}  // namespace kelcmd::testing
