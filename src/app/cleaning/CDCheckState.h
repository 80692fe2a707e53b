#pragma once

#include <Qt>

namespace harbormind {

// Selection statuses as check boxes: marked (0) is on, kept (1) off, mixed (-1) partly on.
class CDCheckState {
public:
    static Qt::CheckState fromStatus(int status) {
        if (status == 0) {
            return Qt::Checked;
        }
        return status < 0 ? Qt::PartiallyChecked : Qt::Unchecked;
    }
    // What the user asked for by setting a box: on marks (0), anything else keeps (1).
    static int toStatus(Qt::CheckState state) { return state == Qt::Checked ? 0 : 1; }
};

}  // namespace harbormind
