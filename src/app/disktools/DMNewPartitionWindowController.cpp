#include "app/disktools/DMNewPartitionWindowController.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/DMTr.h"
#include "xpc/DMVolumeLabelRules.h"
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
      pbFileSystem_(new QComboBox(this)),
      tfName_(new QLineEdit(DMTr::qtext("Untitled"), this)),
      lbPassword_(new QLabel(DMTr::qtext("Password:"), this)),
      tfPassword_(new QLineEdit(this)),
      tfPasswordAgain_(new QLineEdit(this)),
      lbProblem_(new QLabel(this)),
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
    for (DMEraseFileSystem fileSystem : DMEraseFileSystems::all()) {
        pbFileSystem_->addItem(QString::fromStdString(DMEraseFileSystems::displayNameOf(fileSystem)),
                               static_cast<int>(fileSystem));
    }
    form->addRow(DMTr::qtext("Format:"), pbFileSystem_);
    form->addRow(DMTr::qtext("Name:"), tfName_);
    tfPassword_->setEchoMode(QLineEdit::Password);
    tfPasswordAgain_->setEchoMode(QLineEdit::Password);
    tfPasswordAgain_->setPlaceholderText(DMTr::qtext("Again"));
    auto* passwords = new QHBoxLayout();
    passwords->addWidget(tfPassword_);
    passwords->addWidget(tfPasswordAgain_);
    form->addRow(lbPassword_, passwords);
    layout->addLayout(form);
    lbProblem_->setWordWrap(true);
    lbProblem_->setStyleSheet("color: #e53935;");
    layout->addWidget(lbProblem_);
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

    regionChosen();
    connect(pbRegion_, &QComboBox::currentIndexChanged, this, [this] { regionChosen(); });
    for (QLineEdit* field : {tfName_, tfPassword_, tfPasswordAgain_}) {
        connect(field, &QLineEdit::textChanged, this, [this] { check(); });
    }
    connect(pbFileSystem_, &QComboBox::currentIndexChanged, this, [this] { check(); });
    connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnCreate_, &QPushButton::clicked, this, [this] {
        const auto& region = regions_[static_cast<std::size_t>(pbRegion_->currentIndex())];
        // Whole mebibytes, as partitions are aligned, and never past the free space.
        std::int64_t size = std::min(region.sizeBytes, std::int64_t{sbSizeMB_->value()} * megabyte) /
                            DMPartitionTable::alignment * DMPartitionTable::alignment;
        if (problem_.empty() && create_) {
            create_({region.startBytes, size, fileSystem(),
                     DMVolumeLabelRules::check(fileSystem(), tfName_->text().toStdString()).label,
                     fileSystem() == DMEraseFileSystem::luks2Ext4 ? tfPassword_->text().toStdString() : std::string()});
        }
    });
}

DMEraseFileSystem DMNewPartitionWindowController::fileSystem() const {
    return static_cast<DMEraseFileSystem>(pbFileSystem_->currentData().toInt());
}

void DMNewPartitionWindowController::regionChosen() {
    const auto& region = regions_[static_cast<std::size_t>(std::max(0, pbRegion_->currentIndex()))];
    const int most = static_cast<int>(std::min<std::int64_t>(region.sizeBytes / megabyte, 2000000000));
    sbSizeMB_->setRange(2, std::max(2, most));
    sbSizeMB_->setValue(most);
    check();
}

void DMNewPartitionWindowController::check() {
    const bool encrypted = fileSystem() == DMEraseFileSystem::luks2Ext4;
    lbPassword_->setVisible(encrypted);
    tfPassword_->setVisible(encrypted);
    tfPasswordAgain_->setVisible(encrypted);
    auto checked = DMVolumeLabelRules::check(fileSystem(), tfName_->text().toStdString());
    problem_ = checked.accepted ? std::string() : checked.reason;
    if (problem_.empty() && encrypted && tfPassword_->text().isEmpty()) {
        problem_ = DMTr::text("An encrypted volume needs a password.");
    } else if (problem_.empty() && encrypted && tfPassword_->text() != tfPasswordAgain_->text()) {
        problem_ = DMTr::text("The two passwords differ.");
    }
    lbProblem_->setText(QString::fromStdString(problem_));
    lbProblem_->setVisible(!problem_.empty());
    btnCreate_->setEnabled(problem_.empty() && piWorking_->isHidden());
}

void DMNewPartitionWindowController::working() {
    for (QWidget* control : std::initializer_list<QWidget*>{pbRegion_, sbSizeMB_, pbFileSystem_, tfName_, tfPassword_,
                                                            tfPasswordAgain_, btnCancel_, btnCreate_}) {
        control->setEnabled(false);
    }
    piWorking_->show();
}

}  // namespace harbormind
