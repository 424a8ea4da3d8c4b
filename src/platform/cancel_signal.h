#pragma once

namespace kelcmd {

// A flag that another thread raises to end a wait on a device at once: an eventfd that the
// device's poll watches beside the tty. Raising and clearing are safe from any thread; the
// descriptor lives as long as the object. Without an eventfd (descriptors exhausted) waits simply
// run to their timeouts.
class CancelSignal {
  public:
    CancelSignal();
    ~CancelSignal();
    CancelSignal(const CancelSignal&) = delete;
    CancelSignal& operator=(const CancelSignal&) = delete;

    // Readable while raised; -1 when there is none.
    int Descriptor() const { return descriptor_; }
    void Raise();
    void Clear();

  private:
    const int descriptor_;
};

}  // namespace kelcmd
