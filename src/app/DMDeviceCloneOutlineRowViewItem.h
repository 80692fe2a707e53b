#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

class QLabel;

namespace harbormind {

// One candidate destination in the clone picker: its icon, its name and "Capacity" with its size.
class DMDeviceCloneOutlineRowViewItem : public QWidget {
public:
    DMDeviceCloneOutlineRowViewItem(const std::string& deviceName, const std::string& displayName,
                                    std::int64_t size, const std::string& icon, QWidget* parent = nullptr);

    std::int64_t diskSize = 0;
    std::string strDeviceName;
    QLabel* lbDiskName = nullptr;
    QLabel* lbDiskSize = nullptr;
    QLabel* diskImageView = nullptr;
};

}  // namespace harbormind
