#pragma once

#include <cstdint>

namespace harbormind {

// The dispatcher's action codes, one numbering for local and network drives. A code means
// the local action on a local drive and the network action on a network drive.
namespace DMDriveAction {
inline constexpr std::uint8_t open = 0;
inline constexpr std::uint8_t unlock = 1;
inline constexpr std::uint8_t lock = 2;
inline constexpr std::uint8_t mount = 3;  // connect, for a network drive
inline constexpr std::uint8_t unmount = 4;  // disconnect, for a network drive
inline constexpr std::uint8_t eject = 5;
inline constexpr std::uint8_t encrypt = 6;
inline constexpr std::uint8_t edit = 7;
inline constexpr std::uint8_t remove = 8;
inline constexpr std::uint8_t clone = 9;
inline constexpr std::uint8_t resumeClone = 10;
inline constexpr std::uint8_t junkClean = 11;
inline constexpr std::uint8_t driveClean = 12;
inline constexpr std::uint8_t firstAid = 13;
// Of our own, for local drives: the disk tools.
inline constexpr std::uint8_t erase = 14;
inline constexpr std::uint8_t newPartition = 15;
inline constexpr std::uint8_t deletePartition = 16;
// This system's own: saves the detached header of an encrypted volume where the user picks.
inline constexpr std::uint8_t exportHeader = 17;
}  // namespace DMDriveAction

}  // namespace harbormind
