#include "app/CDDriveMaskWindowController.h"

#include "app/CDTexts.h"
#include "app/DMTextFormat.h"
#include "app/DMTr.h"

namespace harbormind {

void CDDriveMaskWindowController::showSearching(const QString& folder) {
    folderName_ = folder;
    showScanning(QString::fromStdString(DMTextFormat::withText(DMTr::text(CDTexts::searchingDirectory), folder.toStdString())));
}

}  // namespace harbormind
