// What a recorder samples from a drive: the commanded and measured values as the motion model
// has them at the sample's time.
#include "sim/drive/drive_sample_source.h"

#include "sim/drive/drive_model.h"

namespace kelcmd::sim {

void DriveSampleSource::Detach() {
    std::lock_guard lock(mutex_);
    drive_ = nullptr;
}

double DriveSampleSource::Signal(int signal, std::chrono::microseconds time) const {
    std::lock_guard lock(mutex_);
    return drive_ ? drive_->SignalAt(signal, time) : 0.0;
}

std::chrono::microseconds DriveSampleSource::Now(const SimClock& bus) const {
    std::lock_guard lock(mutex_);
    // The drive's time may run ahead of the bus (AdvanceTime); recordings follow the drive.
    return drive_ ? drive_->Now() : bus.Now();
}

double DriveModel::SignalAt(int signal, std::chrono::microseconds time) const {
    const double at = static_cast<double>(time.count()) / 1000.0;
    std::lock_guard lock(mutex_);
    // Catching up only does what the next command would do anyway.
    const_cast<DriveModel*>(this)->CatchUpLocked(NowMs());
    switch (signal) {
        case 0:
            return ToUnitFrame(MustAt(at).position);
        case 1:
            return PositionIsAt(at);
        case 2:
            return MustAt(at).velocity;
        case 3:
            return VelocityIsAt(at);
        case 4:
            return CurrentAt(at);
        case 5:
            return CurrentIsAt(at);
        case 6:
            return io_.Pwm();
        case 8:
            return VelocityMeanAt(at);
        case 9:
            return CurrentMeanAt(at);
        case 14:
        case 15:
            return io_.Analog(static_cast<uint8_t>(signal - 14));
        default:  // the current integrator and the tuning values: not modelled
            return 0.0;
    }
}

}  // namespace kelcmd::sim
