#pragma once

#include <QString>

#include "app/cleaning/CDMaskView.h"

namespace harbormind {

// The progress window of the drive clear window: it names the folder being searched.
class CDDriveMaskWindowController : public CDMaskView {
public:
    using CDMaskView::CDMaskView;

    // "Searching for files in the directory of" the folder, with "Stop the scan".
    void showSearching(const QString& folder);
    const QString& folderName() const { return folderName_; }

private:
    QString folderName_;
};

}  // namespace harbormind
