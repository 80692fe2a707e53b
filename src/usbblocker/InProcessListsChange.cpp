#include "usbblocker/InProcessListsChange.h"

#include <memory>

#include "usbblocker/USBDiskList.h"
#include "usbblocker/USBListsEditor.h"
#include "xpc/DMUSBBlockerServerProtocol.h"
#include "xpc/InProcessUSBWarden.h"

namespace harbormind {

void InProcessListsChange::bind(InProcessUSBWarden& warden) {
    USBDiskListServices services = USBDiskList::platformServices();
    services.fileEvents = nullptr;
    auto lists = std::make_shared<USBDiskList>(services);
    warden.setListsChange([lists](const std::string& name, std::int64_t size, bool white, bool add) {
        USBListsEditor editor(*lists);
        USBListsEditResult result = !add    ? editor.removeFrom(name, white ? USBListKind::White : USBListKind::Black)
                                    : white ? editor.allow(name, size)
                                            : editor.block(name, size);
        bool done = result == USBListsEditResult::Done || result == USBListsEditResult::AlreadyListed;
        return XPCCodeAnswer{done ? DMUSBBlockerServerProtocol::done : DMUSBBlockerServerProtocol::failed,
                             USBListsEditor::message(result)};
    });
}

}  // namespace harbormind
