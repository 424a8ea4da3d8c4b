/* A host program written in C: proves the public header is C and the exports link from C. */
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "kelcmd/kelcmd.h"

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
    KebPacket packet;
    char name[64];
    char text[128];
    uint32_t baud = 0;
    uint8_t busControl = 9;
    uint32_t timeout = 0;
    uint32_t trials = 0;
    int32_t number = 0;

    check(KEB_MapPort("Com7", "sim:1") == 1, "KEB_MapPort");
    check(KEB_InitKelBus(19200, "Com7", KEB_RTS_CONTROL, 100, 4) == 0, "KEB_InitKelBus");
    check(KEB_GetBaudrate() == 19200, "KEB_GetBaudrate");
    check(KEB_GetKelBusSettings("Com7", &baud, &busControl, &timeout, &trials) == 1,
          "KEB_GetKelBusSettings");
    check(baud == 19200 && busControl == 0 && timeout == 100 && trials == 4, "settings values");
    check(KEB_GetStandardPortName(name, sizeof name) == 1 && strcmp(name, "Com7") == 0,
          "KEB_GetStandardPortName");

    /* An echo request to the simulated unit (its test command 200 returns the data it was sent). */
    memset(&packet, 0, sizeof packet);
    packet.dest = 1;
    packet.mtype = 200;
    packet.length = 3;
    packet.data[0] = 1;
    packet.data[1] = 2;
    packet.data[2] = 3;
    check(KEB_SendPacket(&packet) == 0, "KEB_SendPacket");
    memset(&packet, 0, sizeof packet);
    check(KEB_ReceivePacket(&packet, 500) == 0, "KEB_ReceivePacket");
    check(packet.dest == 0 && packet.send == 1 && packet.mtype == 200 && packet.length == 3 &&
              packet.data[2] == 3,
          "echoed packet");

    check(
        GetErrorText(0, name, sizeof name, text, sizeof text) == 1 && strcmp(name, "NO_ERROR") == 0,
        "GetErrorText");
    SelectSlave(2);
    check(KEB_CloseKelBus() == 0, "KEB_CloseKelBus");
    check(KEB_CloseKelBus() == KEB_WIN_ERR_CLOSECOMM, "KEB_CloseKelBus twice");

    /* A device that does not exist: the result code is 128, the reason tells why. */
    check(KEB_MapPort("Com8", "/dev/kelcmd-no-such-device") == 1, "KEB_MapPort missing device");
    check(KEB_InitKelBus(19200, "Com8", KEB_RTS_CONTROL, 100, 4) == 128, "open of missing device");
    check(KEB_GetLastSystemError(&number, text, sizeof text) == 1 && number == ENOENT &&
              strcmp(text, "open /dev/kelcmd-no-such-device: No such file or directory") == 0,
          "KEB_GetLastSystemError");
    {
        KebOutcome outcome;
        memset(&outcome, 0, sizeof outcome);
        outcome.size = sizeof outcome;
        check(KEB_GetLastOutcome(&outcome) == 1 && outcome.status == KEB_OUTCOME_LINE_FAILED &&
                  outcome.result == KEB_WIN_ERR_OPENCOMM && outcome.systemErrorNumber == ENOENT,
              "KEB_GetLastOutcome");
        outcome.size = 4;
        check(KEB_GetLastOutcome(&outcome) == 0 && KEB_GetLastOutcome(NULL) == 0,
              "KEB_GetLastOutcome refuses a small struct");
    }

    /* The texts of the result codes, from the header's constants; unknown codes and short buffers.
     */
    {
        static const struct {
            uint8_t code;
            int32_t listed;
            const char* text;
        } cases[] = {
            {KEB_RCV_ERR_ID, 1, "RCV_ERR_ID / Received ID is not PC_ID! (=0)"},
            {KEB_XMT_ERR_ACK, 1, "XMT_ERR_ACK / Corrupted Acknowledge!"},
            {KEB_WIN_ERR_OPENCOMM, 1, "WIN_ERR_OPENCOMM / Error while opening port!"},
            {KEB_WIN_ERR_CLOSECOMM, 1, "WIN_ERR_CLOSECOMM / Error while closing port!"},
            {KEB_CMD_FAIL, 1, "CMD_FAIL / Command not executed!"},
            {4, 0, "Unknown error!"},
            {KEB_NO_COMMAND, 0, "Unknown error!"},
        };
        size_t i;
        for (i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
            memset(text, 'x', sizeof text);
            check(KEB_GetResultText(cases[i].code, text, sizeof text) == cases[i].listed &&
                      strcmp(text, cases[i].text) == 0,
                  cases[i].text);
        }
        memset(text, 'x', sizeof text);
        check(KEB_GetResultText(KEB_XMT_ERR_TACK, text, 4) == 1 && strcmp(text, "XMT") == 0,
              "KEB_GetResultText cuts to the buffer");
        check(KEB_GetResultText(KEB_XMT_ERR_TACK, NULL, 0) == 1, "KEB_GetResultText without text");
    }

    printf("%d passed, %d failed\n", checks - failures, failures);
    return failures == 0 ? 0 : 1;
}
