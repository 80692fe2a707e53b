#pragma once

namespace harbormind {

// What a method's string argument is, which decides how it is checked.
enum class ArgumentRole {
    plain,               // a flag or a number (checked by its bus type)
    secret,              // a password or recovery key: bounded length, never logged
    deviceName,          // a device's name, such as "sdb1"
    devicePath,          // "/dev/" + name ("/dev/r" + name for raw copying)
    overwrittenName,     // a device name whose contents the method writes over
    overwrittenPath,     // a device path whose contents the method writes over
    firstAidArguments,   // the check-disk command, parsed into a FirstAidCommand
    firstAidToCome,      // the same for a run still to come: its volume may be mounted until then
    openFile,            // a file the caller opened and passed over the bus (a disk image)
    listedName,          // a disk's media name as the USB lists hold it: one short line of text
    shortText,           // a file system's name or a volume's label: one short line of text
};

}  // namespace harbormind
