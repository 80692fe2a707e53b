#pragma once

#include <cstdint>

namespace harbormind {

// Why a long job failed; the raw value crosses the daemon boundary and is shown as "error code".
enum class DMProgressError : std::uint64_t {
    noError = 0x0,
    eErrorSourceStroageDisapper = 0x1,
    eErrorDestinStroageDisapper = 0x2,
    needPermission = 0x100,
    UnsupportedPartitionTable = 0x101,
    eUnplugPower = 0x102,
    FVE_ERROR_FALSE = 0x20001,
    FVE_ERROR_INVALID_PARAMETER = 0x20002,
    FVE_ERROR_INITIALIZED = 0x20003,
    FVE_ERROR_OPEN_DEVICE = 0x20004,
    FVE_ERROR_LOCK_DEVICE = 0x20005,
    FVE_ERROR_DISMOUNT_FS = 0x20006,
    FVE_ERROR_CREATE_METADATA = 0x10001,
    FVE_ERROR_ENCRYPT_BLOCK = 0x10002,
    FVE_ERROR_START_RECORDER = 0x10003,
    FVE_ERROR_RESUME_RECORDER = 0x10004,
    FVE_ERROR_MOUNT_SOURCE_VOL = 0x10005,
    FVE_ERROR_GET_VOL_BITMAP = 0x10006,
    FVE_ERROR_WRITE_SECTOR = 0x10007,
    FVE_ERROR_READ_SECTOR = 0x10008,
};

// A wire value that names no case is `noError`.
constexpr DMProgressError progressErrorFromWire(std::uint64_t value) {
    switch (value) {
        case 0x1:
        case 0x2:
        case 0x100:
        case 0x101:
        case 0x102:
        case 0x20001:
        case 0x20002:
        case 0x20003:
        case 0x20004:
        case 0x20005:
        case 0x20006:
        case 0x10001:
        case 0x10002:
        case 0x10003:
        case 0x10004:
        case 0x10005:
        case 0x10006:
        case 0x10007:
        case 0x10008: return static_cast<DMProgressError>(value);
        default: return DMProgressError::noError;
    }
}

}  // namespace harbormind
