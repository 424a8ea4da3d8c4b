#pragma once

#include <chrono>
#include <mutex>

#include "sim/recorder/sample_source.h"

namespace kelcmd::sim {

class DriveModel;

// A recorder's view of a drive. The recorder may outlive the drive (both die with their unit, in
// no fixed order), so the drive detaches the view when it goes; a detached view reads a unit at
// rest.
class DriveSampleSource final : public SampleSource {
  public:
    explicit DriveSampleSource(const DriveModel* drive) : drive_(drive) {}
    void Detach();

    double Signal(int signal, std::chrono::microseconds time) const override;
    std::chrono::microseconds Now(const SimClock& bus) const override;

  private:
    mutable std::mutex mutex_;
    const DriveModel* drive_;
};

}  // namespace kelcmd::sim
