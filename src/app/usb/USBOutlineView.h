#pragma once

#include <QListWidget>
#include <functional>
#include <string>
#include <vector>

namespace harbormind {

// The settings window's sidebar: one row per page title.
class USBOutlineView final : public QListWidget {
public:
    USBOutlineView(QWidget* parent, std::vector<std::string> titles);

    const std::vector<std::string> dataSource;
    int selectRow() const { return currentRow(); }
};

}  // namespace harbormind
