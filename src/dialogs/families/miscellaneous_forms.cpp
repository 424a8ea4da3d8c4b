// The miscellaneous family: system time, a timed wait, a fixed current, the power electronics'
// status and the CPU stack level.
#include <cstdio>

#include "command/parameter_list.h"
#include "dialogs/families/form_table.h"
#include "dialogs/toolkit/typed_value.h"

namespace kelcmd::dialogs {

void AddMiscellaneousForms(FormTable& table) {
    table["ReadSysTime"] = {.result = FormLayout{"ReadSysTime", {Number("time", "Time", "ms")}}};
    table["WaitTime"] = {.input = FormLayout{"WaitTime", {Timeout("time", "Time")}}};
    table["SetCurrent"] = {.input = FormLayout{"SetCurrent", {Number("current", "Current", "mA")}}};
    table["ReadECStatus"] = {
        .result = FormLayout{
            "ReadECStatus",
            {Bits("status", "Status",
                  {{0, "PwrOvCur"},
                   {1, "GateDrvErr"},
                   {3, "HallErr"},
                   {4, "LoSiOvld"},
                   {5, "HiSiOvld"},
                   {6, "DCMode"},
                   {7, "Overcurrent Protection disabled"}}),
             Number("temperatur",
                    "Temperature of printed circuit board near\n the power transistors.", "°C")}}};
    table["ReadMaxStack"] = {.resultMessage = [](const CParameterList& wire) {
        char text[96];
        std::snprintf(text, sizeof text, "The highest level reached by the CPU stack is %i !",
                      static_cast<int>(ReadUnsigned(wire.GetReturnValue(0)) & 0xFFFF));
        return std::string(text);
    }};
}

}  // namespace kelcmd::dialogs
