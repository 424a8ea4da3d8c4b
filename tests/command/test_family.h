#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "command/command_family.h"
#include "command/command_stack.h"
#include "command/parameter_types.h"

namespace kelcmd::testing {

// A small family in the shape of the motion commands: two commands share a code and differ by
// name; one has a PC-side extra parameter; one adds a custom default.
class TinyFamily : public CCommandFamily {
  public:
    TinyFamily()
        : CCommandFamily("Tiny", {
                                     {.name = "SetProfile",
                                      .code = 33,
                                      .send = {{"profiletype", TYPE_BYTE},
                                               {"accel", TYPE_FLOAT},
                                               {"decel", TYPE_FLOAT}},
                                      .defaults = {1, 0.5, 0.5}},
                                     {.name = "MoveAbsolute",
                                      .code = 36,
                                      .send = {{"position", TYPE_LINT}},
                                      .defaults = {0},
                                      .answerTimeout = 5000},
                                     {.name = "MoveAbsoluteInfo",
                                      .code = 36,
                                      .send = {{"position", TYPE_LINT}, {"option", TYPE_BYTE}},
                                      .returns = {{"flags", TYPE_BITS8}, {"duration", TYPE_LWORD}},
                                      .defaults = {7, 0},
                                      .answerTimeout = 5000},
                                     {.name = "ReadProfile",
                                      .code = 47,
                                      .returns = {{"profiletype", TYPE_BYTE},
                                                  {"accel", TYPE_FLOAT},
                                                  {"decel", TYPE_FLOAT}},
                                      .extraSend = {{"samplePeriod", TYPE_WORD}},
                                      .extraDefaults = {250}},
                                     {.name = "StopMotion",
                                      .code = 40,
                                      .send = {{"stopMotion", TYPE_BYTE}},
                                      .customDefaults =
                                          [](CKelStandardCommand& command) {
                                              const float one = 1.0f;
                                              command.SetSendValue(0, &one, 4);
                                          }},
                                 }) {}

    std::span<const CodeRange> GetCodeRanges() const override { return kRanges; }

    void DeclareLinks(CParameterLinks& links) const override {
        for (const char* name : {"profiletype", "accel", "decel"}) {
            links.Declare("ReadProfile", name, "SetProfile", name);
        }
    }

  private:
    static constexpr std::array<CodeRange, 2> kRanges{{{32, 47}, {200, 200}}};
};

// Records what the family hands over instead of sending it.
class RecordingStack : public CCommandStack {
  public:
    bool IsStacking(const std::string& port, uint8_t slave) const override {
        return stacking && port == "com1" && slave == 2;
    }
    int Append(std::unique_ptr<CKelCommand> command) override {
        appended.push_back(std::move(command));
        return 1;
    }

    bool stacking = true;
    std::vector<std::unique_ptr<CKelCommand>> appended;
};

}  // namespace kelcmd::testing
