#include "app/cleaning/CDCleanAlerts.h"

#include <QCoreApplication>
#include <QString>
#include <algorithm>
#include <vector>

#include "app/cleaning/CDTexts.h"
#include "app/common/DMTextFormat.h"
#include "app/common/DMTr.h"
#include "cleaning/CleaningTexts.h"
#include "cleaning/DMDeleteFaileRecord.h"
#include "cleaning/SelectMessage.h"
#include "support/DMByteCountFormatter.h"

namespace harbormind {

namespace {

QString translate(const char* text) {
    return QCoreApplication::translate(DMTr::context, text);
}

std::string fillStatusLine(long long folders, long long files, const std::string& size) {
    // The two counts share "%d": fill the first, then the second.
    std::string text = DMTr::text(CleaningTexts::statusLine);
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
    return {DMTr::text(CleaningTexts::nothingSelected), DMTr::text(CleaningTexts::nothingSelectedInfo), {DMTr::text(CDTexts::ok)}};
}

DMAlert CDCleanAlerts::confirmation(const SelectMessage& selection) {
    // The exact count follows a rounded size only: "350 bytes" needs no "(350 bytes)".
    std::string size = DMByteCountFormatter::string(selection.totalSize);
    if (selection.totalSize >= 1000) {
        size += " (" + std::to_string(selection.totalSize) + " bytes)";
    }
    std::string amount = DMTextFormat::withTexts(
        DMTr::text(CDTexts::deletionAmount), {std::to_string(selection.folderCount), std::to_string(selection.fileCount), size});
    return {DMTr::text(CleaningTexts::confirmDelete), std::string(DMTr::text(CleaningTexts::confirmDeleteInfo)) + "\n\n" + amount,
            {DMTr::text(CDTexts::ok), DMTr::text(CDTexts::cancel)}};
}

DMAlert CDCleanAlerts::finished(const DMDeleteFaileRecord& record) {
    // The folder the pass started from (a drive's mount point) is never the user's loss: it
    // stays, and says why, without turning a finished clean into a failed one.
    std::vector<const DMDeleteFaileRecord::Failure*> stayed;
    const DMDeleteFaileRecord::Failure* top = nullptr;
    for (const auto& failure : record.failures) {
        if (failure.top) {
            top = &failure;
        } else {
            stayed.push_back(&failure);
        }
    }
    const std::int64_t failedCount = record.iFileCount + record.iFolderCount - (top != nullptr ? 1 : 0);
    QString text = translate("Deleted %1 files and %2 folders (%3).")
                       .arg(record.deletedFiles)
                       .arg(record.deletedFolders)
                       .arg(QString::fromStdString(DMByteCountFormatter::string(record.deletedBytes)));
    if (top != nullptr) {
        text += "\n\n" + translate("The top folder %1 itself stays: %2.")
                             .arg(QString::fromStdString(top->path), QString::fromStdString(top->reason));
    }
    if (failedCount <= 0) {
        return {DMTr::text(CleaningTexts::cleanSucceeded), text.toStdString(), {DMTr::text(CDTexts::ok)}};
    }
    text += "\n\n" + translate("Not deleted (%1):").arg(failedCount);
    const std::size_t shown = std::min<std::size_t>(stayed.size(), listedFailures);
    for (std::size_t index = 0; index < shown; ++index) {
        text += "\n" + translate("%1: %2").arg(QString::fromStdString(stayed[index]->path),
                                               QString::fromStdString(stayed[index]->reason));
    }
    if (failedCount > static_cast<std::int64_t>(shown)) {
        text += "\n" + translate("...and %1 more.").arg(failedCount - static_cast<std::int64_t>(shown));
    }
    const bool nothingDeleted = record.deletedFiles == 0 && record.deletedFolders == 0;
    std::string title =
        nothingDeleted ? DMTr::text(CleaningTexts::cleanFailed) : translate("Some items could not be deleted").toStdString();
    return {title, text.toStdString(), {DMTr::text(CDTexts::ok)}};
}

DMAlert CDCleanAlerts::missing(bool folder) {
    return {folder ? DMTr::text(CDTexts::foldersMissing) : DMTr::text(CDTexts::filesMissing), "", {DMTr::text(CDTexts::ok)}};
}

}  // namespace harbormind
