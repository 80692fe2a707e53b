#pragma once

#include <cstdint>
#include <string>

#include "usbblocker/USBDiskList.h"
#include "usbblocker/USBListsEditResult.h"

namespace harbormind {

// Changes the lists on a person's behalf and says what happened: each change is checked by
// reading the file back, since the lists themselves report no failure.
class USBListsEditor {
public:
    explicit USBListsEditor(USBDiskList& list) : list_(list) {}

    USBListsEditResult allow(const std::string& name, std::int64_t size);
    USBListsEditResult block(const std::string& name, std::int64_t size);
    // Takes the name off both lists, each entry with its own stored size so its line leaves
    // the file too.
    USBListsEditResult remove(const std::string& name);
    // Takes the name off one list only.
    USBListsEditResult removeFrom(const std::string& name, USBListKind kind);

    static const char* message(USBListsEditResult result);

private:
    USBListsEditResult add(const std::string& name, std::int64_t size, USBListKind kind);
    USBListsEditResult removeFromLists(const std::string& name, bool white, bool black);

    USBDiskList& list_;
};

}  // namespace harbormind
