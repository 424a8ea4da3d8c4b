#pragma once

#include <string>
#include <vector>

#include "session.h"

namespace kelcmd::app {

// `send DEST MTYPE [BYTE ...]`: one raw frame through KEB_SendPacket and, where the destination
// answers, its answer through KEB_ReceivePacketRetry; both printed in hex with their result texts.
int RunSend(Session& session, const std::vector<std::string>& arguments);

}  // namespace kelcmd::app
