// Home and index searches, and the index distance they measure.
#include <cmath>

#include "sim/drive/drive_codes.h"
#include "sim/drive/drive_model.h"
#include "sim/drive/wire_fields.h"
#include "transport/result_codes.h"

namespace kelcmd::sim {

using namespace drive;

namespace {

SimAnswer WrongLength() {
    return RefusalAnswer(BAD_LEN, WARN_SYNTAX);
}

bool UsableVelocity(float velocity) {
    return std::isfinite(velocity) && velocity != 0;
}

}  // namespace

SimAnswer DriveModel::StartHoming(uint8_t code, const HomingRequest& request) {
    if (request.type < 1 || request.type > 9 || !UsableVelocity(request.velocity)) {
        return Refuse(BAD_PRM, WARN_RANGE);
    }
    if (auto refusal = CheckMayMove(0)) return *refusal;
    const auto must = MustAt(now_);
    const HomingPlan plan = PlanHoming(machine_, request, must.position);
    ProfileSettings search = profile_;
    search.ceilingVelocity = std::abs(request.velocity);
    const PlannedMotion move =
        PlanPositionMove(now_, must.position, must.velocity, plan.end, search);

    Motion homing{MotionKind::Homing, move.trajectory};
    const bool timedOut = request.timeout != 0 && move.duration > request.timeout;
    if (timedOut) {
        // The unit gives up where the timeout finds it.
        homing.trajectory = move.trajectory.CutAt(now_ + request.timeout);
        homing.failError = plan.failError;
    } else if (!plan.found) {
        homing.failError = plan.failError;
    } else {
        homing.definesHome = true;
        homing.homePosition = request.homePosition;
        homing.setsIndexDistance = plan.indexDistance != 0;
        homing.indexDistance = plan.indexDistance;
    }
    motion_ = homing;
    limitBits_ = 0;
    movementStarted_ = true;

    const double end = motion_.trajectory.End();
    if (!HomingWaits()) return PositiveAnswer(code);
    if (timedOut) return RefuseAfter(end, WARN_TIMEOUT);
    if (!plan.found) return RefuseAfter(end, WARN_UNREACHABLE);
    return HoldUntil(PositiveAnswer(code), end);
}

SimAnswer DriveModel::OnFindHome(std::span<const uint8_t> data) {
    // FindHome sends 15 bytes; FindHomeEx adds the home position.
    if (data.size() != 15 && data.size() != 19) return WrongLength();
    FieldReader reader(data);
    HomingRequest request;
    request.type = reader.Byte();
    request.current = reader.Word();
    request.velocity = reader.Float();
    request.offset = reader.LInt();
    request.timeout = reader.LWord();
    request.homePosition = data.size() == 19 ? reader.LInt() : 0;
    return StartHoming(kFindHome, request);
}

SimAnswer DriveModel::OnFindHomeSys(std::span<const uint8_t> data) {
    if (data.size() != 4) return WrongLength();
    HomingRequest request = SystemHomingLocked();
    request.timeout = FieldReader(data).LWord();
    return StartHoming(kFindHomeSys, request);
}

SimAnswer DriveModel::OnFindIndex(std::span<const uint8_t> data) {
    if (data.size() != 8) return WrongLength();
    FieldReader reader(data);
    const float velocity = reader.Float();
    const uint32_t timeout = reader.LWord();
    if (!UsableVelocity(velocity)) return Refuse(BAD_PRM, WARN_RANGE);
    const double direction = velocity < 0 ? -1 : 1;
    if (auto refusal = CheckMayMove(direction)) return *refusal;
    const auto must = MustAt(now_);
    const double index = NextIndex(machine_, must.position, direction);
    ProfileSettings search = profile_;
    search.ceilingVelocity = std::abs(velocity);
    const PlannedMotion move = PlanPositionMove(now_, must.position, must.velocity, index, search);

    Motion searchMotion{MotionKind::IndexSearch, move.trajectory};
    const bool timedOut = timeout != 0 && move.duration > timeout;
    if (timedOut) {
        searchMotion.trajectory = move.trajectory.CutAt(now_ + timeout);
        searchMotion.failError = kErrorIndex;
    } else {
        searchMotion.setsIndexDistance = true;
        searchMotion.indexDistance = index - must.position;
    }
    motion_ = searchMotion;
    limitBits_ = 0;
    movementStarted_ = true;

    const double end = motion_.trajectory.End();
    if (!HomingWaits()) return PositiveAnswer(kFindIndex);
    if (timedOut) return RefuseAfter(end, WARN_TIMEOUT);
    return HoldUntil(PositiveAnswer(kFindIndex), end);
}

SimAnswer DriveModel::OnReadIndexDistance(std::span<const uint8_t> data) {
    if (!data.empty()) return WrongLength();
    return PositiveAnswer(kReadIndexDistance, FieldWriter().LInt(indexDistance_).Take());
}

}  // namespace kelcmd::sim
