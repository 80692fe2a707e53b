#include "app/disktools/DMNewPartitionWindowController.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/common/DMTr.h"
#include "support/DMByteCountFormatter.h"

namespace harbormind {
namespace {

constexpr std::int64_t megabyte = 1000 * 1000;

}  // namespace

DMNewPartitionWindowController::DMNewPartitionWindowController(std::string diskTitle, std::vector<DMFreeRegion> regions,
                                                               Create create, QWidget* parent)
    : QDialog(parent),
      regions_(std::move(regions)),
      create_(std::move(create)),
      pbRegion_(new QComboBox(this)),
      sbSizeMB_(new QSpinBox(this)),
      fields_(this, DMTr::qtext("Untitled"), [this] { check(); }),
      piWorking_(new QProgressBar(this)),
      btnCancel_(new QPushButton(DMTr::qtext("Cancel"), this)),
      btnCreate_(new QPushButton(DMTr::qtext("Create"), this)) {
    setWindowTitle(DMTr::qtext("New Partition"));
    setMinimumWidth(480);
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(DMTr::qtext("New partition on %1").arg(QString::fromStdString(diskTitle)), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->setWordWrap(true);
    layout->addWidget(title);
    auto* form = new QFormLayout();
    for (const auto& region : regions_) {
        pbRegion_->addItem(DMTr::qtext("%1 free, starting at %2")
                               .arg(QString::fromStdString(DMByteCountFormatter::string(region.sizeBytes)))
                               .arg(QString::fromStdString(DMByteCountFormatter::string(region.startBytes))));
    }
    form->addRow(DMTr::qtext("Free space:"), pbRegion_);
    sbSizeMB_->setSuffix(" MB");
    form->addRow(DMTr::qtext("Size:"), sbSizeMB_);
    fields_.addFormatRow(*form);
    fields_.addNameRow(*form);
    fields_.addPasswordRow(*form);
    layout->addLayout(form);
    layout->addWidget(fields_.lbProblem());
    auto* buttons = new QHBoxLayout();
    piWorking_->setRange(0, 0);
    piWorking_->setFixedWidth(80);
    piWorking_->setTextVisible(false);
    piWorking_->hide();
    buttons->addWidget(piWorking_);
    buttons->addStretch(1);
    buttons->addWidget(btnCancel_);
    buttons->addWidget(btnCreate_);
    layout->addLayout(buttons);
    btnCreate_->setDefault(true);

    // The keyboard follows the rows: the file system before the name.
    setTabOrder(fields_.pbFileSystem(), fields_.tfName());
    regionChosen();
    connect(pbRegion_, &QComboBox::currentIndexChanged, this, [this] { regionChosen(); });
    connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnCreate_, &QPushButton::clicked, this, [this] {
        const auto& region = regions_[static_cast<std::size_t>(pbRegion_->currentIndex())];
        // Whole mebibytes, as partitions are aligned, and never past the free space.
        std::int64_t size = std::min(region.sizeBytes, std::int64_t{sbSizeMB_->value()} * megabyte) /
                            DMPartitionTable::alignment * DMPartitionTable::alignment;
        if (problem_.empty() && create_) {
            create_({region.startBytes, size, fields_.fileSystem(), fields_.label(), fields_.password()});
        }
    });
}

void DMNewPartitionWindowController::regionChosen() {
    const auto& region = regions_[static_cast<std::size_t>(std::max(0, pbRegion_->currentIndex()))];
    const int most = static_cast<int>(std::min<std::int64_t>(region.sizeBytes / megabyte, 2000000000));
    sbSizeMB_->setRange(2, std::max(2, most));
    sbSizeMB_->setValue(most);
    check();
}

void DMNewPartitionWindowController::check() {
    problem_ = fields_.check();
    btnCreate_->setEnabled(problem_.empty() && piWorking_->isHidden());
}

void DMNewPartitionWindowController::working() {
    fields_.disable();
    for (QWidget* control : std::initializer_list<QWidget*>{pbRegion_, sbSizeMB_, btnCancel_, btnCreate_}) {
        control->setEnabled(false);
    }
    piWorking_->show();
}

}  // namespace harbormind
