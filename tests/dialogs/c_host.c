/* A host written in C, without Qt, linking both libraries: with no display every dialog export
 * returns 0 (with its reason on standard error) and the process goes on. */
#include <stdio.h>

#include "kelcmd/kelcmd.h"
#include "kelcmd/kelcmd_dialogs.h"

static int failures = 0;
static int checks = 0;

static void check(int condition, const char* what) {
    ++checks;
    if (!condition) {
        ++failures;
        fprintf(stderr, "failed: %s\n", what);
    }
}

int main(void) {
    check(KEB_MapPort("Com5", "sim:1") == 1, "KEB_MapPort");
    check(KEB_InitKelBus(19200, "Com5", KEB_RTS_CONTROL, 100, 4) == 0, "KEB_InitKelBus");
    check(MP_ReadPositionDlg("Com5", 1) == 0, "MP_ReadPositionDlg without a display");
    check(KEB_InitKelBusDlg() == 0, "KEB_InitKelBusDlg without a display");
    check(KEB_MultiPortConfigurationDlg() == 0, "KEB_MultiPortConfigurationDlg");
    /* The library still works after the refused dialogs. */
    int32_t position = -1;
    check(MP_ReadPosition("Com5", 1, &position) == 1 && position == 0, "MP_ReadPosition");
    check(KEB_CloseKelBusPort("Com5") == 0, "KEB_CloseKelBusPort");
    printf("%d passed, %d failed\n", checks - failures, failures);
    return failures == 0 ? 0 : 1;
}
