#include "app/details/DMLocalPartitionViewController.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/DMAlertPresenter.h"
#include "app/widgets/DMCapacityMapView.h"
#include "app/details/DMCapacityText.h"
#include "app/details/DMDisplayNames.h"
#include "app/drives/DMDriveAction.h"
#include "app/drives/DMDriveActionManager.h"
#include "app/drives/DMDriveRuleReasons.h"
#include "app/drives/DMDriveOperations.h"
#include "app/common/DMImages.h"
#include "app/widgets/DMMacDockView.h"
#include "app/common/DMFailureText.h"
#include "app/common/DMTextFormat.h"
#include "app/common/DMTexts.h"
#include "app/common/DMTr.h"
#include "xpc/DaemonReachability.h"
#include "xpc/NtfsMountResult.h"
#include "support/Dispatch.h"

namespace harbormind {

DMLocalPartitionViewController::DMLocalPartitionViewController(DMDetailContext context, QWidget* parent)
    : DMBaseViewController(std::move(context), parent),
      capacityMap_(new DMCapacityMapView(capacityArea_)),
      tipRow_(new QWidget(this)),
      btnInstall_(new QPushButton(QString::fromUtf8(DMTr::text(DMTexts::ntfsTipInstall)), tipRow_)) {
    capacityArea_->layout()->addWidget(capacityMap_);
    setFactKeys({DMTr::text(DMTexts::factMountPoint), DMTr::text(DMTexts::factType), "", DMTr::text(DMTexts::factCapacity), DMTr::text(DMTexts::factUsed), "",
                 DMTr::text(DMTexts::factAvailable), DMTr::text(DMTexts::factDevice)});

    // The tip row sits under the facts, before the stretch that keeps the action bar low.
    auto* tipLayout = new QHBoxLayout(tipRow_);
    tipLayout->setContentsMargins(10, 8, 10, 8);
    auto* tipIcon = new QLabel(tipRow_);
    tipIcon->setPixmap(DMImages::icon("kext_tip").pixmap(28, 28));
    auto* tipText = new QLabel(QString::fromUtf8(DMTr::text(DMTexts::ntfsTip)), tipRow_);
    tipText->setWordWrap(true);
    tipLayout->addWidget(tipIcon, 0, Qt::AlignTop);
    tipLayout->addWidget(tipText, 1);
    tipLayout->addWidget(btnInstall_, 0, Qt::AlignVCenter);
    tipRow_->setStyleSheet(QStringLiteral("QWidget#tipRow { background: palette(alternate-base); border: 1px solid palette(mid); border-radius: 8px; }"));
    tipRow_->setObjectName(QStringLiteral("tipRow"));
    tipRow_->setAttribute(Qt::WA_StyledBackground);
    tipRow_->setVisible(false);
    contentLayout_->insertWidget(contentLayout_->count() - 2, tipRow_);

    QObject::connect(btnInstall_, &QPushButton::clicked, this, [this] {
        if (context_.installDriver) {
            QPointer<DMLocalPartitionViewController> self(this);
            context_.installDriver([self] {
                if (self) {
                    self->refresh();
                }
            });
            return;
        }
        auto operations = context_.actions ? context_.actions->operations() : nullptr;
        if (operations && operations->canInstallDriver()) {
            Dispatch::global()->async([operations] { operations->installDriver(); });
        }
    });
    actionBar_->setItems(DMDriveRules::partitionItems());
}

bool DMLocalPartitionViewController::isTipVisible() const {
    return !tipRow_->isHidden();
}

void DMLocalPartitionViewController::apply(const DMDriveSnapshot& snapshot) {
    if (snapshot.isWholeDiskVolume != wholeDiskVolume_) {
        wholeDiskVolume_ = snapshot.isWholeDiskVolume;
        actionBar_->setItems(wholeDiskVolume_ ? DMDriveRules::wholeDiskVolumeItems() : DMDriveRules::partitionItems());
    }
    const std::string type = DMDisplayNames::of(snapshot.own.fileSystem);
    setFact(DMTr::text(DMTexts::factMountPoint), snapshot.own.mountPoint.value_or(DMTr::text(DMTexts::notMounted)));
    setFact(DMTr::text(DMTexts::factType), type);
    setFact(DMTr::text(DMTexts::factCapacity), DMCapacityText::size(snapshot.capacity));
    setFact(DMTr::text(DMTexts::factUsed), DMCapacityText::size(snapshot.used));
    setFact(DMTr::text(DMTexts::factAvailable), DMCapacityText::size(snapshot.free));
    setFact(DMTr::text(DMTexts::factDevice), snapshot.identifier);

    capacityMap_->setTitle(DMTextFormat::withText(DMTr::text(DMTexts::volumeTitleFormat), type));
    capacityMap_->setSubtitle(DMCapacityText::usedAndAvailable(snapshot.used, snapshot.free));
    const bool known = snapshot.used.has_value() && snapshot.capacity > 0;
    capacityMap_->setAvailable(known);
    capacityMap_->setUsedShare(known ? static_cast<double>(*snapshot.used) / static_cast<double>(snapshot.capacity) : 0);

    const bool ntfsLike = snapshot.own.fileSystem == DMDriveObjectFilesystem::ntfs || snapshot.own.isBitLocker();
    tipRow_->setVisible(ntfsLike && driverMissing_);
    auto operations = context_.actions ? context_.actions->operations() : nullptr;
    btnInstall_->setEnabled(static_cast<bool>(context_.installDriver) || (operations && operations->canInstallDriver()));
}

bool DMLocalPartitionViewController::itemRule(const DMMacDockViewBaseItem& item) {
    return DMDriveRules::partitionRule(static_cast<DMDriveAction>(item.action), snapshot(), rulesContext());
}

std::string DMLocalPartitionViewController::itemRuleReason(const DMMacDockViewBaseItem& item) {
    return DMDriveRuleReasons::partition(static_cast<DMDriveAction>(item.action), snapshot(), rulesContext());
}

void DMLocalPartitionViewController::actionFinished(DMDriveAction action, int code) {
    // An action that failed because the helper daemon could not be reached says so, rather
    // than passing for the daemon's own "no".
    if (code != 0 && context_.actions) {
        if (auto failure = DaemonReachability::failure()) {
            context_.actions->presenter()->present(
                {DMTr::text(DMTexts::errorTitle), std::string(DMTr::text(DMTexts::helperNotRunning)) + *failure, {DMTr::text(DMTexts::okButton)}}, sheetWindow(),
                nullptr);
            return;
        }
    }
    if (action != DMDriveAction::mount) {
        return;
    }
    if (code == 0) {
        refresh();
        return;
    }
    if (!context_.actions) {
        return;
    }
    // A known cause is said in words (and a refused authorization says what to do); the code
    // alone is shown only when nothing else is known.
    const std::string& reason = lastFailureReason();
    std::string text = DMFailureText::mountFailure(code, reason);
    // The system's own words go under ours, so a damaged file system says so; and where the
    // drive can be checked, First Aid is one click away.
    DMAlert alert{DMTr::text(DMTexts::errorTitle), text, {DMTr::text(DMTexts::okButton)}};
    alert.informativeText = reason;
    // Not when the daemon refused the caller, though: the volume is not at fault.
    const bool offerFirstAid = !reason.empty() && !DMFailureText::isNotAuthorized(reason) &&
                               code != NtfsMountResult::notPermitted &&
                               !isItemDisabled({DMTr::text(DMTexts::itemFirstAid), "menu_firstAid", static_cast<int>(DMDriveAction::firstAid)});
    if (offerFirstAid) {
        alert.buttons.push_back(DMTr::text(DMTexts::firstAidButton));
        alert.escapeButton = 0;
    }
    QPointer<DMLocalPartitionViewController> self(this);
    context_.actions->presenter()->present(alert, sheetWindow(), [self](int button) {
        if (self && button == 1 && self->context_.actions) {
            self->context_.actions->perform(DMDriveAction::firstAid, self->obj(), self->sheetWindow());
        }
    });
}

}  // namespace harbormind
