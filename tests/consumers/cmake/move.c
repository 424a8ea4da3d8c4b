/* Maps Com1 to a simulated unit, moves it and reads back where it stands. */
#include <kelcmd/kelcmd.h>
#include <stdio.h>

int main(void) {
    int32_t position = 0;
    if (KEB_MapPort("Com1", "sim:1,speed=20") != 1) return 1;
    if (KEB_InitKelBus(19200, "Com1", KEB_RTS_CONTROL, 100, 4) != 0) {
        fprintf(stderr, "cannot open Com1\n");
        return 1;
    }
    SelectSlave(1);
    /* Wait mode 1: a move answers when the unit has arrived. */
    if (SetRegMode(2) != 1 || SetWaitMode(1) != 1 || MoveAbsolute(1000, 5000) != 1 ||
        ReadPosition(&position) != 1) {
        fprintf(stderr, "the unit did not move\n");
        KEB_CloseKelBus();
        return 1;
    }
    printf("position %d qc\n", position);
    KEB_CloseKelBus();
    return position == 1000 ? 0 : 1;
}
