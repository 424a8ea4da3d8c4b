#include "api/user_parameter_family.h"

#include <algorithm>
#include <array>
#include <vector>

#include "api/catalogue_call.h"
#include "api/catalogue_defaults.h"
#include "api/catalogue_rows.h"
#include "command/parameter_types.h"

namespace kelcmd {

namespace {

constexpr std::array<CodeRange, 1> kCodes{{{0x70, 0x78}}};
constexpr const char* kStructInfo = "structInfoStream";

// [set 1, set 2][temporary, permanent]
constexpr std::string_view kReadNames[2][2] = {{"ReadAllTempUsr1Param", "ReadAllPermUsr1Param"},
                                               {"ReadAllTempUsr2Param", "ReadAllPermUsr2Param"}};
constexpr std::string_view kWriteNames[2][2] = {{"SetAllTempUsr1Param", "SetAllPermUsr1Param"},
                                                {"SetAllTempUsr2Param", "SetAllPermUsr2Param"}};

}  // namespace

void ZeroUserParameterSetDefaults(CKelStandardCommand& command) {
    const std::vector<uint8_t> zeros(command.Wire().GetSendSize(0), 0);
    command.SetSendValue(0, zeros.data(), static_cast<uint32_t>(zeros.size()));
}

CUserParameterFamily::CUserParameterFamily()
    : CCommandFamily("UserParameter", CatalogueRows("UserParameter")) {}

std::span<const CodeRange> CUserParameterFamily::GetCodeRanges() const {
    return kCodes;
}

void CUserParameterFamily::DeclareLinks(CParameterLinks& links) const {
    for (int set : {1, 2}) {
        for (bool permanent : {false, true}) {
            for (const char* parameter : {"paramStruct", kStructInfo}) {
                links.Declare(ReadCommandName(set, permanent), parameter,
                              WriteCommandName(set, permanent), parameter);
            }
        }
    }
}

std::string_view CUserParameterFamily::ReadCommandName(int set, bool permanent) {
    if (set != 1 && set != 2) return "";
    return kReadNames[set - 1][permanent ? 1 : 0];
}

std::string_view CUserParameterFamily::WriteCommandName(int set, bool permanent) {
    if (set != 1 && set != 2) return "";
    return kWriteNames[set - 1][permanent ? 1 : 0];
}

bool CUserParameterFamily::AttachStructure(CKelStandardCommand& command,
                                           const CStructureDefinition& definition) {
    const int index = command.Extra().FindSend(kStructInfo);
    if (index < 0) return false;
    const std::vector<uint8_t> stream = definition.ToStream();
    command.Extra().SetSendValue(static_cast<size_t>(index), stream.data(),
                                 static_cast<uint32_t>(stream.size()));
    return true;
}

bool CUserParameterFamily::AttachedStructure(const CKelStandardCommand& command,
                                             CStructureDefinition& definition) {
    const int index = command.Extra().FindSend(kStructInfo);
    if (index < 0) return false;
    const std::span<const uint8_t> stream =
        command.Extra().GetSendValue(static_cast<size_t>(index));
    if (stream.empty()) return false;
    CStructureDefinition rebuilt;
    if (!rebuilt.FromStream(stream)) return false;
    definition = std::move(rebuilt);
    return true;
}

int ReadUserParameterBytes(CUserParameterFamily& family, const char* port, int64_t slave,
                           std::string_view command, uint8_t* buffer, uint32_t bufferSize,
                           uint32_t& received) {
    received = 0;
    const uint32_t kept =
        buffer != nullptr ? std::min(bufferSize, CUserParameterFamily::kMaxSetBytes) : 0;
    auto call = PrepareCatalogueCall(&family, port, slave, command, {}, {OutBuffer(buffer, kept)});
    if (!call || !family.Execute(call.get())) return 0;
    // What the unit sent, but never more than the buffer kept: the caller may read that many.
    received = std::min<uint32_t>(call->GetAnswerLength(), kept);
    return 1;
}

int WriteUserParameterBytes(CUserParameterFamily& family, const char* port, int64_t slave,
                            std::string_view command, const uint8_t* bytes, uint32_t count) {
    // A longer set cannot travel in one frame; cutting it short would lose the caller's data.
    if (count > CUserParameterFamily::kMaxSetBytes || (bytes == nullptr && count != 0)) return 0;
    auto call = PrepareCatalogueCall(&family, port, slave, command, {Bytes(bytes, count)});
    return call ? family.Execute(call.get()) : 0;
}

int ReadUserParameterSet(CUserParameterFamily& family, const char* port, int64_t slave, int set,
                         bool permanent, CStructureData& data) {
    const std::string_view command = CUserParameterFamily::ReadCommandName(set, permanent);
    if (command.empty()) return 0;
    std::vector<uint8_t> buffer(CUserParameterFamily::kMaxSetBytes, 0);
    uint32_t received = 0;
    if (!ReadUserParameterBytes(family, port, slave, command, buffer.data(),
                                static_cast<uint32_t>(buffer.size()), received)) {
        return 0;
    }
    // What a unit holds is laid out with alignment.
    data.LoadImage(std::span(buffer).first(received), true);
    return 1;
}

int WriteUserParameterSet(CUserParameterFamily& family, const char* port, int64_t slave, int set,
                          bool permanent, const CStructureData& data) {
    const std::string_view command = CUserParameterFamily::WriteCommandName(set, permanent);
    if (command.empty()) return 0;
    const std::vector<uint8_t>& image = data.GetImage();
    return WriteUserParameterBytes(family, port, slave, command, image.data(),
                                   static_cast<uint32_t>(image.size()));
}

}  // namespace kelcmd
