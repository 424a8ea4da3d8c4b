/*
 * Built with `cc move.c $(pkg-config --cflags --libs kelcmd)` (scripts/check-install.sh): maps
 * Com1 to a simulated unit, moves it there and back by relative moves and reads the position.
 */
#include <kelcmd/kelcmd.h>
#include <stdio.h>

static int failed(const char* what) {
    fprintf(stderr, "%s failed\n", what);
    KEB_CloseKelBus();
    return 1;
}

int main(void) {
    int32_t position = -1;
    if (KEB_MapPort("Com1", "sim:1,speed=20") != 1) return 1;
    if (KEB_InitKelBus(19200, "Com1", KEB_RTS_CONTROL, 100, 4) != 0) {
        fprintf(stderr, "cannot open Com1\n");
        return 1;
    }
    SelectSlave(1);
    if (SetRegMode(2) != 1) return failed("SetRegMode");
    if (SetWaitMode(1) != 1) return failed("SetWaitMode"); /* moves answer on arrival */
    if (MoveRelative(2500, 5000) != 1) return failed("MoveRelative");
    if (MoveRelative(-1000, 5000) != 1) return failed("MoveRelative back");
    if (ReadPosition(&position) != 1) return failed("ReadPosition");
    printf("position %d qc\n", position);
    KEB_CloseKelBus();
    return position == 1500 ? 0 : 1;
}
