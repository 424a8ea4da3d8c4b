#pragma once

#include "command/kel_command.h"
#include "command/parameter_list.h"

namespace kelcmd {

// Builds the message of a command from a parameter list: dest = the destination, mtype = the
// command code, then every send parameter in index order, encoded by its type, then the frame
// (length word, CRC). A null list sends no data. A value shorter than its type's width is sent as
// if padded with zero bytes. False, with nothing sent later, when the values do not fit the 1023
// data bytes of a frame.
bool BuildParameterMessage(CKelCommand& command, const CParameterList* list);

// The catalogue commands' builder: as above, and the command starts afresh: status Idle, start and
// end time 0, error and warning 0, trials 1.
bool BuildCatalogueMessage(CKelCommand& command, const CParameterList* list);

enum class DecodeResult {
    kNoAnswer,  // no answer was received: nothing read, nothing written
    kComplete,  // every return parameter read; the list is valid
    kStopped,   // a type that cannot be read, or a value beyond the answer's data area, stopped it
    kShort,     // the answer carries fewer data bytes than the return parameters need: nothing
                // was written
};

// Reads the return parameters of `list` in index order from the command's answer. Each value is
// read into a temporary of the parameter's size, copied to the bound variable where there is one
// (exactly the parameter's size), then installed as the parameter's value. The valid flag is 0
// from the start and set only when every parameter was read; variables bound to parameters before
// a stop have been written.
DecodeResult DecodeParameterAnswer(const CKelCommand& command, CParameterList& list);

}  // namespace kelcmd
