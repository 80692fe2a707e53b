#include "app/CDCleanAlerts.h"

#include "app/CDTexts.h"
#include "app/DMTextFormat.h"
#include "cleaning/CleaningTexts.h"
#include "cleaning/DMDeleteFaileRecord.h"
#include "cleaning/SelectMessage.h"
#include "support/DMByteCountFormatter.h"

namespace harbormind {

namespace {

std::string fillStatusLine(long long folders, long long files, const std::string& size) {
    // The two counts share "%d": fill the first, then the second.
    std::string text = CleaningTexts::statusLine;
    for (long long count : {folders, files}) {
        auto at = text.find("%d");
        if (at != std::string::npos) {
            text.replace(at, 2, std::to_string(count));
        }
    }
    return DMTextFormat::withText(text, size);
}

}  // namespace

std::string CDCleanAlerts::clearedStatusLine() {
    return fillStatusLine(0, 0, DMByteCountFormatter::string(0));
}

std::string CDCleanAlerts::statusLine(const SelectMessage& selection) {
    return fillStatusLine(selection.folderCount, selection.fileCount, DMByteCountFormatter::string(selection.totalSize));
}

bool CDCleanAlerts::isEmpty(const SelectMessage& selection) {
    return selection.fileCount == 0 && selection.folderCount == 0;
}

DMAlert CDCleanAlerts::nothingSelected() {
    return {CleaningTexts::nothingSelected, CleaningTexts::nothingSelectedInfo, {CDTexts::ok}};
}

DMAlert CDCleanAlerts::confirmation(const SelectMessage& selection) {
    // The exact count follows a rounded size only: "350 bytes" needs no "(350 bytes)".
    std::string size = DMByteCountFormatter::string(selection.totalSize);
    if (selection.totalSize >= 1000) {
        size += " (" + std::to_string(selection.totalSize) + " bytes)";
    }
    std::string amount = DMTextFormat::withTexts(
        CDTexts::deletionAmount, {std::to_string(selection.folderCount), std::to_string(selection.fileCount), size});
    return {CleaningTexts::confirmDelete, std::string(CleaningTexts::confirmDeleteInfo) + "\n\n" + amount,
            {CDTexts::ok, CDTexts::cancel}};
}

DMAlert CDCleanAlerts::finished(const DMDeleteFaileRecord& record) {
    const bool clean = record.iFileCount == 0 && record.iFolderCount == 0;
    return {clean ? CleaningTexts::cleanSucceeded : CleaningTexts::cleanFailed, "", {CDTexts::ok}};
}

DMAlert CDCleanAlerts::missing(bool folder) {
    return {folder ? CDTexts::foldersMissing : CDTexts::filesMissing, "", {CDTexts::ok}};
}

}  // namespace harbormind
