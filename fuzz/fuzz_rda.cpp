// Recorded data files from anywhere: loading must never crash, read out of bounds or allocate
// beyond what the file can hold, and a file that loads must store back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "api/recorded_data_file.h"
#include "platform/hook.h"
#include "platform/prompt.h"

namespace {

class SilentPrompt final : public kelcmd::Prompt {
  public:
    void ShowMessage(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return false; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static SilentPrompt prompt;
    static const bool installed =
        (kelcmd::InstallPrompt(kelcmd::Unowned<kelcmd::Prompt>(prompt)), true);
    (void)installed;

    kelcmd::CRecordedData loaded;
    const std::span<const uint8_t> bytes(data, size);
    if (kelcmd::LoadRecordedData(bytes, loaded) != kelcmd::RecordedDataLoad::kLoaded) {
        if (!loaded.Empty()) std::abort();  // a refused file changes nothing
        return 0;
    }
    // Whatever loaded also exports as text, and stores back without loss (trailing bytes aside).
    (void)kelcmd::RecordedDataText(loaded);
    const std::vector<uint8_t> stored = kelcmd::StoreRecordedData(loaded);
    kelcmd::CRecordedData again;
    if (kelcmd::LoadRecordedData(stored, again) != kelcmd::RecordedDataLoad::kLoaded) std::abort();
    if (kelcmd::StoreRecordedData(again) != stored) std::abort();
    return 0;
}
