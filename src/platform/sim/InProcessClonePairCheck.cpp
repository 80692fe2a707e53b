#include "platform/sim/InProcessClonePairCheck.h"

#include "platform/sim/InProcessMachine.h"

namespace harbormind {
namespace {

constexpr std::int64_t sourceRefused = 1;
constexpr std::int64_t destinationRefused = 2;
constexpr std::int64_t destinationTooSmall = 4;

}  // namespace

XPCCodeAnswer InProcessClonePairCheck::check(const std::string& destination, const std::string& source) {
    if (!InProcessMachine::known()) {
        return {0, {}};
    }
    if (!InProcessMachine::exists(source)) {
        return {sourceRefused, "cannot open the source " + source + ": no such device"};
    }
    if (auto points = InProcessMachine::mountPoints(source); !points.empty()) {
        return {sourceRefused, "the source holds a file system mounted read-write on " + points.front()};
    }
    if (!InProcessMachine::exists(destination)) {
        return {destinationRefused, "the destination " + destination + " is no block device"};
    }
    if (InProcessMachine::nameOf(destination) == InProcessMachine::nameOf(source)) {
        return {destinationRefused, "the destination is the source"};
    }
    if (auto points = InProcessMachine::mountPoints(destination); !points.empty()) {
        return {destinationRefused, "the destination holds a file system mounted on " + points.front()};
    }
    const std::int64_t destinationSize = InProcessMachine::size(destination);
    const std::int64_t sourceSize = InProcessMachine::size(source);
    if (destinationSize < sourceSize) {
        return {destinationTooSmall, "the destination holds " + std::to_string(destinationSize) +
                                         " bytes, the source " + std::to_string(sourceSize)};
    }
    return {0, {}};
}

}  // namespace harbormind
