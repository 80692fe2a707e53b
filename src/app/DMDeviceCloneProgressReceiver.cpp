#include "app/DMDeviceCloneProgressReceiver.h"

#include "support/Dispatch.h"

namespace harbormind {

void DMDeviceCloneProgressReceiver::deviceCloneProgress(const DMProgressMessage& message) {
    QPointer<DMDeviceCloneProgressWndController> sheet = sheet_;
    Dispatch::main().async([sheet, message] {
        if (sheet) {
            sheet->showProgress(message);
        }
    });
}

}  // namespace harbormind
