#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "api/command_export.h"

namespace kelcmd {

// The exports whose steps the catalogue's argument roles cannot say, named by its "@via". Each
// runs inside the command export guard with the export's arguments in order.

// Each has the signature of an ExportHandler:
using ExportHandlerFunction = int32_t(CCommandFamily& family, const char* port, uint8_t slave,
                                      std::string_view command,
                                      std::span<const ExportArgument> arguments);

// (paramNb, value*): the single system parameter, retyped to its width, read completely.
ExportHandlerFunction ReadSystemParameterExport;
// (paramNb, value): the parameter's width of low-order bytes of `value` sent.
ExportHandlerFunction SetSystemParameterExport;
// (buffer, bufferSize, receivedLength*): a user parameter set read into the caller's buffer.
ExportHandlerFunction ReadUserParameterExport;
// (bytes, count): a user parameter set written from the caller's bytes.
ExportHandlerFunction WriteUserParameterExport;

}  // namespace kelcmd
