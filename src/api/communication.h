#pragma once

namespace kelcmd {

class CCommandStack;
class CKelCommunication;

// The manager of the process, built with every family before any export runs.
CKelCommunication& Communication();

// The command stack of the process's manager.
CCommandStack& ProcessCommandStack();

}  // namespace kelcmd
