#pragma once

#include <cstddef>
#include <string>

#include "app/common/DMAlert.h"

namespace harbormind {

class DMDeleteFaileRecord;
class SelectMessage;

// The status line and the alerts that both cleaning windows show.
class CDCleanAlerts {
public:
    static std::string statusLine(const SelectMessage& selection);
    // The status line while a deletion runs: zero counts and the size text "0".
    static std::string clearedStatusLine();
    static bool isEmpty(const SelectMessage& selection);
    static DMAlert nothingSelected();
    // The confirmation, naming how many folders, files and bytes will go.
    static DMAlert confirmation(const SelectMessage& selection);
    // What the pass deleted, and each entry that stayed with its reason (the first
    // `listedFailures`); a failure only when something the user marked stayed.
    static DMAlert finished(const DMDeleteFaileRecord& record);
    static constexpr std::size_t listedFailures = 20;
    static DMAlert missing(bool folder);
};

}  // namespace harbormind
