#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "command/command_family.h"
#include "command/structure_definition.h"

namespace kelcmd {

// "UserParameter": the unit's two user parameter sets, each as a temporary and a permanent copy,
// read and written as plain bytes (at most 1023), and the check of the unit's memory areas. The
// meaning of the bytes is a structure defined on the PC; the structure a command was prepared
// with travels with it in the PC-side parameter "structInfoStream".
class CUserParameterFamily : public CCommandFamily {
  public:
    static constexpr uint32_t kMaxSetBytes = 1023;

    CUserParameterFamily();

    std::span<const CodeRange> GetCodeRanges() const override;
    // Each read command feeds the write command of the same set and copy, for both the bytes and
    // the structure.
    void DeclareLinks(CParameterLinks& links) const override;

    // "ReadAllTempUsr1Param" ... for set 1 or 2; "" for another set.
    static std::string_view ReadCommandName(int set, bool permanent);
    static std::string_view WriteCommandName(int set, bool permanent);

    // Puts a structure's description stream into a command's "structInfoStream"; false for a
    // command without one.
    static bool AttachStructure(CKelStandardCommand& command,
                                const CStructureDefinition& definition);
    // Rebuilds the structure from a command's "structInfoStream". False, and `definition`
    // unchanged, when the stream is empty, malformed or missing.
    static bool AttachedStructure(const CKelStandardCommand& command,
                                  CStructureDefinition& definition);
};

// A set read as an export does: at most min(bufferSize, 1023) bytes into `buffer`; `received`
// gets how many of them the unit sent. 1, or 0 (received 0) when the call fails.
int ReadUserParameterBytes(CUserParameterFamily& family, const char* port, int64_t slave,
                           std::string_view command, uint8_t* buffer, uint32_t bufferSize,
                           uint32_t& received);
// A set written from bytes: more than 1023, or bytes without a pointer, fail without sending.
int WriteUserParameterBytes(CUserParameterFamily& family, const char* port, int64_t slave,
                            std::string_view command, const uint8_t* bytes, uint32_t count);

// The edit dialogs' steps: the set read into structure data laid out by its definition and
// marked aligned (what the unit sent, up to 1023 bytes), and the structure data's image written.
int ReadUserParameterSet(CUserParameterFamily& family, const char* port, int64_t slave, int set,
                         bool permanent, CStructureData& data);
int WriteUserParameterSet(CUserParameterFamily& family, const char* port, int64_t slave, int set,
                          bool permanent, const CStructureData& data);

}  // namespace kelcmd
