#include "app/usb/USBWhiteListViewController.h"

#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/DMTextFormat.h"
#include "support/Dispatch.h"
#include "usbblocker/USBBlockerTexts.h"
#include "usbblocker/USBDiskList.h"

namespace harbormind {
namespace {

// The lists hold their observers for good; this one lets go of the page when it is gone.
class PageObserver final : public USBDiskListDelegate {
public:
    explicit PageObserver(USBWhiteListViewController* page) : page_(page) {}
    void diskListDidChange() override {
        QPointer<USBWhiteListViewController> page = page_;
        Dispatch::main().async([page] {
            if (page) {
                page->diskListDidChange();
            }
        });
    }

private:
    QPointer<USBWhiteListViewController> page_;
};

}  // namespace

USBWhiteListViewController::USBWhiteListViewController(QWidget* parent, USBDiskList& lists)
    : USBPage(parent, USBBlockerTexts::deviceWhiteList), datas(lists) {
    table = new QTableWidget(0, 2, this);
    table->setHorizontalHeaderLabels(
        {QString::fromUtf8(USBBlockerTexts::diskNameColumn), QString::fromUtf8(USBBlockerTexts::capacityColumn)});
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table->verticalHeader()->hide();
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    btnRemove = new QPushButton(QString::fromUtf8(USBBlockerTexts::removeWhitelist), this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table);
    layout->addWidget(btnRemove, 0, Qt::AlignRight);
    connect(btnRemove, &QPushButton::clicked, this, [this] { btnRemove_click(); });
    datas.addDelegate(std::make_shared<PageObserver>(this));
    reloadData();
}

void USBWhiteListViewController::reloadData() {
    std::vector<Drive> entries = datas.whiteList();
    table->setRowCount(static_cast<int>(entries.size()));
    for (int row = 0; row < static_cast<int>(entries.size()); ++row) {
        const Drive& entry = entries[static_cast<std::size_t>(row)];
        table->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(entry.name)));
        std::string capacity = DMTextFormat::withInteger(USBBlockerTexts::capacityFormat, entry.size);
        table->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(capacity)));
    }
    btnRemove->setEnabled(!entries.empty());
}

void USBWhiteListViewController::btnRemove_click() {
    int row = table->currentRow();
    std::vector<Drive> entries = datas.whiteList();
    if (row < 0 || row >= static_cast<int>(entries.size())) {
        return;
    }
    const Drive entry = entries[static_cast<std::size_t>(row)];
    datas.removeWhiteList(entry.name, entry.size);
    reloadData();
}

void USBWhiteListViewController::diskListDidChange() {
    reloadData();
}

}  // namespace harbormind
