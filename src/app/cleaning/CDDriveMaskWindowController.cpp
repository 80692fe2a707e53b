#include "app/cleaning/CDDriveMaskWindowController.h"

#include "app/cleaning/CDTexts.h"
#include "app/common/DMTextFormat.h"
#include "app/common/DMTr.h"

namespace harbormind {

void CDDriveMaskWindowController::showSearching(const QString& folder) {
    folderName_ = folder;
    showScanning(QString::fromStdString(DMTextFormat::withText(DMTr::text(CDTexts::searchingDirectory), folder.toStdString())));
}

}  // namespace harbormind
