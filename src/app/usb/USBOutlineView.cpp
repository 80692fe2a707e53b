#include "app/usb/USBOutlineView.h"

namespace harbormind {

USBOutlineView::USBOutlineView(QWidget* parent, std::vector<std::string> titles)
    : QListWidget(parent), dataSource(std::move(titles)) {
    for (const std::string& title : dataSource) {
        addItem(QString::fromStdString(title));
    }
    setFixedWidth(170);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

}  // namespace harbormind
