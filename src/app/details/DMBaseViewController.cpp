#include "app/details/DMBaseViewController.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QVBoxLayout>

#include "app/drives/DMDriveAction.h"
#include "app/drives/DMDriveActionManager.h"
#include "app/drives/DMDriveSnapshotLoader.h"
#include "app/common/DMImages.h"
#include "app/widgets/DMKeyColumn.h"
#include "app/widgets/DMKeyValueView.h"
#include "app/widgets/DMMacDockView.h"
#include "app/common/DMShellTexts.h"
#include "app/common/DMTr.h"
#include "drivemodel/DMDriveObjectProtocol.h"
#include "xpc/DaemonReachability.h"

namespace harbormind {

DMBaseViewController::DMBaseViewController(DMDetailContext context, QWidget* parent)
    : QWidget(parent),
      contentLayout_(new QVBoxLayout(this)),
      capacityArea_(new QWidget(this)),
      keyColumn_(std::make_shared<DMKeyColumn>()),
      actionBar_(new DMMacDockView(this)),
      context_(std::move(context)),
      ivIcon_(new QLabel(this)),
      lbTitle_(new QLabel(this)),
      piActivity_(new QProgressBar(this)),
      factsArea_(new QWidget(this)) {
    contentLayout_->setContentsMargins(28, 22, 28, 18);
    contentLayout_->setSpacing(14);

    auto* header = new QHBoxLayout();
    header->setSpacing(12);
    ivIcon_->setFixedSize(56, 56);
    QFont titleFont = lbTitle_->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lbTitle_->setFont(titleFont);
    lbTitle_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    piActivity_->setRange(0, 0);
    piActivity_->setFixedWidth(80);
    piActivity_->setTextVisible(false);
    piActivity_->setVisible(false);
    header->addWidget(ivIcon_);
    header->addWidget(lbTitle_, 1);
    header->addWidget(piActivity_);
    contentLayout_->addLayout(header);

    new QVBoxLayout(capacityArea_);
    capacityArea_->layout()->setContentsMargins(0, 0, 0, 0);
    contentLayout_->addWidget(capacityArea_);

    auto* factsLayout = new QVBoxLayout(factsArea_);
    factsLayout->setContentsMargins(0, 4, 0, 0);
    factsLayout->setSpacing(2);
    contentLayout_->addWidget(factsArea_);
    contentLayout_->addStretch(1);
    contentLayout_->addWidget(actionBar_, 0, Qt::AlignHCenter);
    actionBar_->setDelegate(this);
}

void DMBaseViewController::setObj(std::shared_ptr<DMDriveObjectProtocol> obj) {
    obj_ = std::move(obj);
}

void DMBaseViewController::refresh() {
    if (!obj_) {
        return;
    }
    const std::uint64_t generation = ++generation_;
    QPointer<DMBaseViewController> self(this);
    DMDriveSnapshotLoader::load(
        {obj_},
        [self, generation](std::vector<DMDriveSnapshot> snapshots) {
            // A later refresh supersedes this one.
            if (self && generation == self->generation_ && !snapshots.empty()) {
                self->applySnapshot(snapshots.front());
            }
        },
        {obj_->identifier()});
}

void DMBaseViewController::show(const DMDriveSnapshot& snapshot) {
    applySnapshot(snapshot);
    refresh();
}

void DMBaseViewController::applySnapshot(const DMDriveSnapshot& snapshot) {
    snapshot_ = snapshot;
    driverMissing_ = context_.driverMissing && context_.driverMissing();
    ivIcon_->setPixmap(DMImages::icon(snapshot.icon).pixmap(56, 56));
    lbTitle_->setText(QString::fromStdString(snapshot.name));
    apply(snapshot);
    actionBar_->reloadEnabledState();
}

void DMBaseViewController::setFactKeys(const std::vector<std::string>& keys) {
    auto* layout = static_cast<QVBoxLayout*>(factsArea_->layout());
    for (const std::string& key : keys) {
        if (key.empty()) {
            auto* line = new QFrame(factsArea_);
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Plain);
            line->setStyleSheet(QStringLiteral("color: palette(mid);"));
            layout->addWidget(line);
            continue;
        }
        auto* view = new DMKeyValueView(key, factsArea_);
        keyColumn_->add(view);
        layout->addWidget(view);
        factViews_.push_back(view);
    }
}

void DMBaseViewController::setFact(const std::string& key, const std::string& value) {
    for (DMKeyValueView* view : factViews_) {
        if (view->key() == key) {
            view->setValue(value);
        }
    }
}

std::vector<std::pair<std::string, std::string>> DMBaseViewController::facts() const {
    std::vector<std::pair<std::string, std::string>> result;
    for (const DMKeyValueView* view : factViews_) {
        result.emplace_back(view->key(), view->value());
    }
    return result;
}

std::string DMBaseViewController::title() const {
    return lbTitle_->text().toStdString();
}

DMDriveRulesContext DMBaseViewController::rulesContext() const {
    DMDriveRulesContext rules;
    rules.driverMissing = driverMissing_;
    auto actions = context_.actions;
    rules.isActionAvailable = [actions](DMDriveAction action, DMDriveObjectCategory category) {
        return actions && actions->isActionAvailable(action, category);
    };
    return rules;
}

QWidget* DMBaseViewController::sheetWindow() const {
    return context_.window ? context_.window() : QWidget::window();
}

void DMBaseViewController::showSpinner(bool spinning) {
    piActivity_->setVisible(spinning);
}

bool DMBaseViewController::isItemDisabled(const DMMacDockViewBaseItem& item) {
    if (!obj_ || !context_.actions || !context_.actions->isActionAvailable(static_cast<DMDriveAction>(item.action), snapshot_.category)) {
        return true;
    }
    return !itemRule(item);
}

std::string DMBaseViewController::disabledReason(const DMMacDockViewBaseItem& item) {
    const auto action = static_cast<DMDriveAction>(item.action);
    if (context_.actions && !context_.actions->isActionAvailable(action, snapshot_.category)) {
        return DMTr::text(DMShellTexts::notSupportedOnLinux);
    }
    if (std::string reason = obj_ ? itemRuleReason(item) : std::string(); !reason.empty()) {
        return reason;
    }
    // Encryption, First Aid and clone are the helper service's work alone.
    const bool helperWork = action == DMDriveAction::unlock || action == DMDriveAction::lock ||
                            action == DMDriveAction::encrypt || action == DMDriveAction::firstAid ||
                            action == DMDriveAction::clone || action == DMDriveAction::resumeClone;
    if (helperWork && DaemonReachability::failure()) {
        return DMTr::text(DMShellTexts::needsHelperService);
    }
    return DMTr::text(DMShellTexts::notAvailableForDrive);
}

void DMBaseViewController::itemClicked(const DMMacDockViewBaseItem& item) {
    if (isItemDisabled(item)) {
        return;
    }
    const auto action = static_cast<DMDriveAction>(item.action);
    QPointer<DMBaseViewController> self(this);
    context_.actions->perform(action, obj_, sheetWindow(), [self, action](int code, std::optional<std::string> reason) {
        if (self) {
            self->lastFailureReason_ = reason.value_or("");
            self->actionFinished(action, code);
        }
    });
}

void DMBaseViewController::actionFinished(DMDriveAction /*action*/, int /*code*/) {}

}  // namespace harbormind
