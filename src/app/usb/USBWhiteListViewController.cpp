#include "app/usb/USBWhiteListViewController.h"

#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/common/DMAlertPresenter.h"
#include "app/common/DMTr.h"
#include "support/DMByteCountFormatter.h"
#include "app/usb/USBNotices.h"
#include "support/Dispatch.h"
#include "usbblocker/DMUSBBlockerWrapper.h"
#include "usbblocker/USBBlockerTexts.h"
#include "usbblocker/USBDiskList.h"
#include "xpc/DMUSBBlockerServerProtocol.h"

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

QTableWidget* listTable(QWidget* parent) {
    auto* table = new QTableWidget(0, 2, parent);
    table->setHorizontalHeaderLabels(
        {QString::fromUtf8(DMTr::text(USBBlockerTexts::diskNameColumn)), QString::fromUtf8(DMTr::text(USBBlockerTexts::capacityColumn))});
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table->verticalHeader()->hide();
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return table;
}

void fill(QTableWidget* table, const std::vector<Drive>& entries) {
    table->setRowCount(static_cast<int>(entries.size()));
    for (int row = 0; row < static_cast<int>(entries.size()); ++row) {
        const Drive& entry = entries[static_cast<std::size_t>(row)];
        table->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(entry.name)));
        // The lists keep whole (decimal) gigabytes; shown as every other size is.
        std::string capacity = DMByteCountFormatter::string(entry.size * 1'000'000'000);
        table->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(capacity)));
    }
}

}  // namespace

USBWhiteListViewController::USBWhiteListViewController(QWidget* parent, USBDiskList& lists,
                                                       DMUSBBlockerWrapper& wrapper,
                                                       std::shared_ptr<DMAlertPresenter> presenter)
    : USBPage(parent, DMTr::text(USBBlockerTexts::deviceWhiteList)),
      datas(lists),
      wrapper_(wrapper),
      presenter_(std::move(presenter)) {
    table = listTable(this);
    blackTable = listTable(this);
    btnRemove = new QPushButton(QString::fromUtf8(DMTr::text(USBBlockerTexts::removeWhitelist)), this);
    btnRemoveBlack = new QPushButton(QString::fromUtf8(DMTr::text(USBBlockerTexts::removeBlacklist)), this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8(DMTr::text(USBBlockerTexts::whiteListTitle)), this));
    layout->addWidget(table);
    layout->addWidget(btnRemove, 0, Qt::AlignRight);
    layout->addWidget(new QLabel(QString::fromUtf8(DMTr::text(USBBlockerTexts::blackListTitle)), this));
    layout->addWidget(blackTable);
    layout->addWidget(btnRemoveBlack, 0, Qt::AlignRight);
    connect(btnRemove, &QPushButton::clicked, this, [this] { btnRemove_click(); });
    connect(btnRemoveBlack, &QPushButton::clicked, this, [this] { btnRemoveBlack_click(); });
    datas.addDelegate(std::make_shared<PageObserver>(this));
    reloadData();
}

void USBWhiteListViewController::pageShown() {
    datas.load();
    reloadData();
}

void USBWhiteListViewController::reloadData() {
    std::vector<Drive> whites = datas.whiteList();
    std::vector<Drive> blacks = datas.blackList();
    fill(table, whites);
    fill(blackTable, blacks);
    btnRemove->setEnabled(!whites.empty());
    btnRemoveBlack->setEnabled(!blacks.empty());
}

void USBWhiteListViewController::btnRemove_click() {
    remove(table, datas.whiteList(), true);
}

void USBWhiteListViewController::btnRemoveBlack_click() {
    remove(blackTable, datas.blackList(), false);
}

void USBWhiteListViewController::remove(QTableWidget* from, const std::vector<Drive>& entries, bool white) {
    int row = from->currentRow();
    if (row < 0 || row >= static_cast<int>(entries.size())) {
        return;
    }
    const Drive entry = entries[static_cast<std::size_t>(row)];
    XPCCodeAnswer answer = wrapper_.removeListEntry(entry.name, white);
    datas.load();
    reloadData();
    if (answer.code != DMUSBBlockerServerProtocol::done) {
        presenter_->present(USBNotices::alert(DMUSBBlockerWrapper::reason(answer)), window(), nullptr);
    }
}

void USBWhiteListViewController::diskListDidChange() {
    reloadData();
}

}  // namespace harbormind
