#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

class QLabel;

namespace harbormind {

// One candidate destination in the clone picker: its icon, its name and "Capacity" with its size;
// a disk that cannot receive the source is greyed with the reason under it.
class DMDeviceCloneOutlineRowViewItem : public QWidget {
public:
    DMDeviceCloneOutlineRowViewItem(const std::string& deviceName, const std::string& displayName,
                                    std::int64_t size, const std::string& icon, QWidget* parent = nullptr);

    // Greys the row and says why it cannot be chosen.
    void setUnavailable(const QString& reason);

    std::int64_t diskSize = 0;
    std::string strDeviceName;
    QLabel* lbDiskName = nullptr;
    QLabel* lbDiskSize = nullptr;
    QLabel* diskImageView = nullptr;
    QLabel* lbUnavailable = nullptr;
};

}  // namespace harbormind
