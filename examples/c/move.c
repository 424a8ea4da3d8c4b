#include <kelcmd/kelcmd.h>
#include <stdio.h>

static void on_error(uint8_t messageType, uint8_t error, int16_t warning, uint32_t batch) {
    char text[128];
    KEB_GetResultText(error, text, sizeof text);
    fprintf(stderr, "command %u failed: %s (warning %d, batch %u)\n", messageType, text, warning,
            batch);
}

int main(int argc, char** argv) {
    int32_t position = 0;
    KEB_MapPort("Com1", argc > 1 ? argv[1] : "sim:1"); /* a tty path for a real unit */
    if (KEB_InitKelBus(19200, "Com1", KEB_RTS_CONTROL, 100, 4) != KEB_RESULT_OK) {
        char reason[256];
        KEB_GetLastSystemError(NULL, reason, sizeof reason);
        fprintf(stderr, "cannot open Com1: %s\n", reason);
        return 1;
    }
    InitKelCommander(on_error); /* on the port just opened */
    SelectSlave(1);
    if (!SetRegMode(2) || !SetWaitMode(1) || !MoveAbsolute(1000, 5000) || !ReadPosition(&position))
        return 1;
    printf("position %d\n", (int)position); /* 1000: wait mode 1 answers the move on arrival */
    KEB_CloseKelBus();
    return 0;
}
