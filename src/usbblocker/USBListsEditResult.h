#pragma once

namespace harbormind {

// The outcome of a change to the lists asked for by a person.
enum class USBListsEditResult {
    Done,
    AlreadyListed,  // on the asked list already: nothing to do
    OnOtherList,    // on the other list: remove it there first
    NotListed,      // nothing to remove
    CannotStore,    // the name cannot be written to the lists file
    NotSaved,       // the lists file could not be changed (missing folder, no permission)
    SetByAdministrator,  // an administrator's lists file names it: it cannot be removed here
};

}  // namespace harbormind
