#include "app/disktools/DMDriveHealthView.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <atomic>

#include "app/widgets/DMKeyColumn.h"
#include "app/widgets/DMKeyValueView.h"
#include "app/common/DMTr.h"
#include "disktools/DMDiskToolsWrapper.h"
#include "disktools/DMDriveHealthText.h"
#include "support/Dispatch.h"
#include "support/Timer.h"

namespace harbormind {
namespace {

std::atomic<int>& pendingReads() {
    static std::atomic<int> count{0};
    return count;
}

QString colourFor(DMDriveHealthAssessment assessment) {
    switch (assessment) {
    case DMDriveHealthAssessment::good: return "#4caf50";
    case DMDriveHealthAssessment::failing: return "#e53935";
    default: return QString();
    }
}

QTableWidgetItem* cell(const std::string& text) {
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

std::string shown(const std::optional<std::int64_t>& value) {
    return value ? std::to_string(*value) : "-";
}

}  // namespace

DMDriveHealthView::DMDriveHealthView(QWidget* parent)
    : QWidget(parent),
      kvHealth_(new DMKeyValueView(DMTr::text(DMDriveHealthText::healthKey), this)),
      lbReason_(new QLabel(this)),
      factsArea_(new QWidget(this)),
      factsLayout_(new QVBoxLayout(factsArea_)),
      lbSelfTest_(new QLabel(this)),
      btnShortTest_(new QPushButton(DMTr::qtext("Short Self-Test"), this)),
      btnExtendedTest_(new QPushButton(DMTr::qtext("Extended Self-Test"), this)),
      btnDetails_(new QToolButton(this)),
      dlgDetails_(new QDialog(this)),
      tvAttributes_(new QTableWidget(dlgDetails_)),
      lbSelfTestLog_(new QLabel(dlgDetails_)),
      keyColumn_(std::make_shared<DMKeyColumn>()) {
    keyColumn_->add(kvHealth_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* top = new QHBoxLayout();
    top->addWidget(kvHealth_, 1);
    btnDetails_->setText(DMTr::qtext("Details..."));
    top->addWidget(btnDetails_);
    layout->addLayout(top);
    lbReason_->setWordWrap(true);
    lbReason_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lbReason_);
    factsLayout_->setContentsMargins(0, 0, 0, 0);
    factsLayout_->setSpacing(0);
    layout->addWidget(factsArea_);
    auto* tests = new QHBoxLayout();
    tests->addWidget(lbSelfTest_, 1);
    tests->addWidget(btnShortTest_);
    tests->addWidget(btnExtendedTest_);
    layout->addLayout(tests);
    tvAttributes_->setColumnCount(6);
    tvAttributes_->setHorizontalHeaderLabels({DMTr::qtext("ID"), DMTr::qtext("Attribute"), DMTr::qtext("Value"),
                                              DMTr::qtext("Worst"), DMTr::qtext("Threshold"), DMTr::qtext("Raw")});
    tvAttributes_->verticalHeader()->hide();
    tvAttributes_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    tvAttributes_->setSelectionMode(QAbstractItemView::NoSelection);
    tvAttributes_->verticalHeader()->setDefaultSectionSize(20);
    tvAttributes_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    dlgDetails_->setWindowTitle(DMTr::qtext("Drive Health Details"));
    dlgDetails_->resize(640, 420);
    auto* details = new QVBoxLayout(dlgDetails_);
    details->addWidget(tvAttributes_, 1);
    lbSelfTestLog_->setWordWrap(true);
    lbSelfTestLog_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    details->addWidget(lbSelfTestLog_);
    auto* close = new QPushButton(DMTr::qtext("Done"), dlgDetails_);
    close->setDefault(true);
    details->addWidget(close, 0, Qt::AlignRight);
    QObject::connect(close, &QPushButton::clicked, dlgDetails_, &QDialog::accept);
    kvHealth_->setValue(DMTr::qtext("Reading...").toStdString());
    lbReason_->hide();
    btnShortTest_->setEnabled(false);
    btnExtendedTest_->setEnabled(false);
    QObject::connect(btnDetails_, &QToolButton::clicked, this, [this] { showDetails(true); });
    QObject::connect(btnShortTest_, &QPushButton::clicked, this, [this] { startSelfTest(false); });
    QObject::connect(btnExtendedTest_, &QPushButton::clicked, this, [this] { startSelfTest(true); });
}

void DMDriveHealthView::setKeyColumn(std::shared_ptr<DMKeyColumn> column) {
    keyColumn_ = std::move(column);
    keyColumn_->add(kvHealth_);
    for (QObject* child : factsArea_->children()) {
        if (auto* row = dynamic_cast<DMKeyValueView*>(child)) {
            keyColumn_->add(row);
        }
    }
}

DMDriveHealthView::~DMDriveHealthView() {
    if (poll_) {
        poll_->invalidate();
    }
}

int DMDriveHealthView::pending() {
    return pendingReads().load();
}

void DMDriveHealthView::load(const std::string& identifier) {
    identifier_ = identifier;
    loading_ = true;
    const std::uint64_t generation = ++generation_;
    QPointer<DMDriveHealthView> self(this);
    ++pendingReads();
    Dispatch::global()->async([self, generation, identifier] {
        DMDriveHealth health = DMDiskToolsWrapper().health(identifier);
        Dispatch::main().async([self, generation, health = std::move(health)] {
            --pendingReads();
            if (self && generation == self->generation_) {
                self->loading_ = false;
                self->show(health);
            }
        });
    });
}

void DMDriveHealthView::show(const DMDriveHealth& health) {
    health_ = health;
    kvHealth_->setValue(DMTr::qtext(DMDriveHealthText::assessment(health.assessment).c_str()).toStdString());
    QString colour = colourFor(health.assessment);
    // The value is the second label of the row (its key is the first).
    auto labels = kvHealth_->findChildren<QLabel*>();
    if (!labels.isEmpty()) {
        labels.back()->setStyleSheet(colour.isEmpty() ? QString() : "color: " + colour + "; font-weight: bold;");
    }
    const bool explain = health.assessment != DMDriveHealthAssessment::good && !health.reason.empty();
    lbReason_->setText(QString::fromStdString(health.reason));
    lbReason_->setVisible(explain);
    while (QLayoutItem* item = factsLayout_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const auto& [key, value] : DMDriveHealthText::facts(health)) {
        if (key == "Self-test" || key == "Last self-test") {
            continue;
        }
        auto* row = new DMKeyValueView(DMTr::qtext(key.c_str()).toStdString(), factsArea_);
        row->setValue(value);
        keyColumn_->add(row);
        factsLayout_->addWidget(row);
    }
    std::string progress = DMDriveHealthText::selfTestProgress(health);
    lbSelfTest_->setText(QString::fromStdString(progress.empty() ? std::string() : DMTr::text("Self-test: ") + progress));
    const bool canTest = health.selfTestSupported && !health.selfTestProgress &&
                         health.assessment != DMDriveHealthAssessment::notAvailable;
    btnShortTest_->setEnabled(canTest);
    btnExtendedTest_->setEnabled(canTest);
    btnShortTest_->setVisible(health.assessment != DMDriveHealthAssessment::notAvailable);
    btnExtendedTest_->setVisible(health.assessment != DMDriveHealthAssessment::notAvailable);
    btnDetails_->setVisible(!health.attributes.empty() || !health.selfTests.empty());
    fillDetails(health);
    pollWhileTesting();
}

void DMDriveHealthView::fillDetails(const DMDriveHealth& health) {
    tvAttributes_->setRowCount(static_cast<int>(health.attributes.size()));
    int row = 0;
    for (const auto& attribute : health.attributes) {
        tvAttributes_->setItem(row, 0, cell(std::to_string(attribute.id)));
        tvAttributes_->setItem(row, 1, cell(attribute.name + (attribute.failingNow ? " (failing now)" : "")));
        tvAttributes_->setItem(row, 2, cell(shown(attribute.value)));
        tvAttributes_->setItem(row, 3, cell(shown(attribute.worst)));
        tvAttributes_->setItem(row, 4, cell(shown(attribute.threshold)));
        tvAttributes_->setItem(row, 5, cell(attribute.raw));
        ++row;
    }
    tvAttributes_->resizeColumnsToContents();
    tvAttributes_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    tvAttributes_->setVisible(row > 0);
    QString log;
    for (const auto& test : health.selfTests) {
        log += QString::fromStdString(test.kind + ": " + test.result);
        if (test.powerOnHours) {
            log += DMTr::qtext(" (at %1 hours)").arg(*test.powerOnHours);
        }
        log += "\n";
    }
    lbSelfTestLog_->setText(log.isEmpty() ? QString() : DMTr::qtext("Self-test log:") + "\n" + log.trimmed());
}

std::string DMDriveHealthView::assessmentText() const {
    return kvHealth_->value();
}

std::string DMDriveHealthView::reasonText() const {
    return lbReason_->isVisibleTo(const_cast<DMDriveHealthView*>(this)) ? lbReason_->text().toStdString()
                                                                         : std::string();
}

std::string DMDriveHealthView::selfTestText() const {
    return lbSelfTest_->text().toStdString();
}

bool DMDriveHealthView::detailsShown() const {
    return dlgDetails_->isVisible();
}

void DMDriveHealthView::showDetails(bool shown) {
    if (shown) {
        dlgDetails_->setWindowModality(Qt::WindowModal);
        dlgDetails_->show();
    } else {
        dlgDetails_->hide();
    }
}

void DMDriveHealthView::startSelfTest(bool extended) {
    const std::string disk = identifier_;
    QPointer<DMDriveHealthView> self(this);
    btnShortTest_->setEnabled(false);
    btnExtendedTest_->setEnabled(false);
    ++pendingReads();
    Dispatch::global()->async([self, disk, extended] {
        XPCCodeAnswer started = DMDiskToolsWrapper().startSelfTest(disk, extended);
        Dispatch::main().async([self, started] {
            --pendingReads();
            if (!self) {
                return;
            }
            if (started.code != 0) {
                self->lbSelfTest_->setText(DMTr::qtext("The self-test could not be started: %1")
                                               .arg(QString::fromStdString(started.message)));
            }
            self->load(self->identifier_);
        });
    });
}

// While a self-test runs, its progress is read again through the clock.
void DMDriveHealthView::pollWhileTesting() {
    if (poll_) {
        poll_->invalidate();
        poll_.reset();
    }
    if (!health_.selfTestProgress) {
        return;
    }
    QPointer<DMDriveHealthView> self(this);
    poll_ = Timer::scheduled(Dispatch::mainQueue(), seconds(selfTestPollSeconds), TimerRepeat::Once, [self] {
        if (self) {
            self->load(self->identifier_);
        }
    });
}

}  // namespace harbormind
