#include "app/CDDriveMaskWindowController.h"

#include "app/CDTexts.h"
#include "app/DMTextFormat.h"

namespace harbormind {

void CDDriveMaskWindowController::showSearching(const QString& folder) {
    folderName_ = folder;
    showScanning(QString::fromStdString(DMTextFormat::withText(CDTexts::searchingDirectory, folder.toStdString())));
}

}  // namespace harbormind
