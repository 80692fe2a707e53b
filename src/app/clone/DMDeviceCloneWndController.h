#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

#include "app/drives/DMCloneDrive.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace harbormind {

// The clone picker: shows the source and lists the candidate destinations; one too small to
// receive the source is greyed with the reason and cannot be chosen. "startClone" keeps the
// chosen row in `selectDrive`, sets `flag` and ends the sheet with 1; "Cancel" ends it with 0.
class DMDeviceCloneWndController : public QDialog {
public:
    DMDeviceCloneWndController(DMCloneDrive source, std::vector<DMCloneDrive> candidates,
                               std::function<void()> openHelp, QWidget* parent = nullptr);

    QListWidget* outlineView();
    // Chooses the candidate at `row`, as a click on it does (a greyed one cannot be chosen).
    void selectRow(int row);
    // Why the candidate cannot receive the source; empty when it can.
    QString unavailableReason(const DMCloneDrive& candidate) const;

    static QString tr(const char* text);

    QPushButton* btnStartClone = nullptr;
    QPushButton* btnCancel = nullptr;
    QLabel* lbTip = nullptr;
    QLabel* lbDestinDeviceTitle = nullptr;
    std::optional<DMCloneDrive> selectDrive;
    std::vector<DMCloneDrive> disksSource;
    QLabel* sourseImageView = nullptr;
    QLabel* lbSourseDeviceTip = nullptr;
    QLabel* lbSourseDeviceName = nullptr;
    QLabel* lbSourseDeviceSzie = nullptr;
    QPushButton* btnHelp = nullptr;
    DMCloneDrive sourseDeviceObj;
    bool flag = false;

    static constexpr int width = 640;
    static constexpr int height = 450;

private:
    QWidget* sourcePanel();
    QWidget* buttonRow();
    void startClone();

    std::function<void()> openHelp_;
    QListWidget* outlineView_ = nullptr;  // made on first use; it scrolls by itself
};

}  // namespace harbormind
