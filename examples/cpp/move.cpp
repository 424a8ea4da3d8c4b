#include <kelcmd/kelcmd.h>

#include <cstdio>

int main(int argc, char** argv) {
    const char* port = "Com2";
    KEB_MapPort(port, argc > 1 ? argv[1] : "sim:1-3");
    // KEB_AUTO_CONTROL: an RS485 adapter that switches direction itself.
    if (KEB_InitKelBus(19200, port, KEB_AUTO_CONTROL, 100, 4) != KEB_RESULT_OK) return 1;
    MP_InitKelCommander(port, [](uint8_t type, uint8_t error, int16_t, uint32_t) {
        std::fprintf(stderr, "command %u failed with %u\n", type, error);
    });
    for (uint8_t unit = 1; unit <= 3; ++unit) {
        int32_t position = 0;
        if (!MP_SetRegMode(port, unit, 2) || !MP_SetWaitMode(port, unit, 1) ||
            !MP_MoveAbsolute(port, unit, 500 * unit, 5000) ||
            !MP_ReadPosition(port, unit, &position))
            return 1;
        std::printf("unit %u at %d\n", unit, static_cast<int>(position));
    }
    KEB_CloseKelBusPort(port);
}
