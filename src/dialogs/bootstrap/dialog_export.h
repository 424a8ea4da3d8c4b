#pragma once

#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>

#include "dialogs/bootstrap/application.h"
#include "dialogs/bootstrap/qt_prompt.h"

namespace kelcmd::dialogs {

// While a dialog export runs, the GUI thread runs event loops, so prompts of other threads are
// served.
class DialogSession {
  public:
    DialogSession() { PromptBridge::Instance().BeginDialog(); }
    ~DialogSession() { PromptBridge::Instance().EndDialog(); }
    DialogSession(const DialogSession&) = delete;
    DialogSession& operator=(const DialogSession&) = delete;
};

// The frame of every dialog export: the GUI is prepared (or the export returns 0 with the reason
// on one line of standard error), the body runs, and nothing thrown ever reaches the host.
template <class Body>
int32_t RunDialogExport(const char* exportName, Body&& body) noexcept {
    try {
        const std::string reason = PrepareGui();
        if (!reason.empty()) {
            std::fprintf(stderr, "%s: %s\n", exportName, reason.c_str());
            return 0;
        }
        DialogSession session;
        return body();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s: %s\n", exportName, failure.what());
    } catch (...) {
        std::fprintf(stderr, "%s: failed\n", exportName);
    }
    return 0;
}

}  // namespace kelcmd::dialogs
