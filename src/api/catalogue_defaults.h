#pragma once

namespace kelcmd {

class CKelStandardCommand;

// The defaults that a list of values cannot say, named by the catalogue's "defaults-by".

// The single system parameter commands start at parameter 1 (a Byte) with the value 1.
void SingleSystemParameterDefaults(CKelStandardCommand& command);
// The whole-set writes start with the unit's factory set, short or extended.
void ShortSystemParameterSetDefaults(CKelStandardCommand& command);
void ExtendedSystemParameterSetDefaults(CKelStandardCommand& command);
// The user parameter set writes start with zero bytes of their current size.
void ZeroUserParameterSetDefaults(CKelStandardCommand& command);

}  // namespace kelcmd
