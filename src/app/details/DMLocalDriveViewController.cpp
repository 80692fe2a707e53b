#include "app/details/DMLocalDriveViewController.h"

#include <QLayout>

#include "app/widgets/DMCapacityMapSplitterView.h"
#include "app/details/DMCapacityText.h"
#include "app/details/DMDisplayNames.h"
#include "app/drives/DMDriveRuleReasons.h"
#include "app/widgets/DMMacDockView.h"
#include "app/common/DMTexts.h"
#include "app/common/DMTr.h"
#include "app/disktools/DMDriveHealthView.h"

namespace harbormind {

DMLocalDriveViewController::DMLocalDriveViewController(DMDetailContext context, QWidget* parent)
    : DMBaseViewController(std::move(context), parent),
      capacityMaps_(new DMCapacityMapSplitterView(capacityArea_)),
      healthView_(new DMDriveHealthView(this)) {
    capacityArea_->layout()->addWidget(capacityMaps_);
    setFactKeys({DMTr::text(DMTexts::factLocation), DMTr::text(DMTexts::factCapacity), "", DMTr::text(DMTexts::factConnection), DMTr::text(DMTexts::factPartitionMap),
                 "", DMTr::text(DMTexts::factType), DMTr::text(DMTexts::factDevice)});
    actionBar_->setItems(DMDriveRules::wholeDiskItems());
    // The disk's health, under its facts and with their key column.
    healthView_->setKeyColumn(keyColumn_);
    contentLayout_->insertWidget(contentLayout_->indexOf(actionBar_) - 1, healthView_);
}

void DMLocalDriveViewController::apply(const DMDriveSnapshot& snapshot) {
    setFact(DMTr::text(DMTexts::factLocation), DMDisplayNames::of(snapshot.own.location));
    setFact(DMTr::text(DMTexts::factCapacity), DMCapacityText::size(snapshot.capacity));
    setFact(DMTr::text(DMTexts::factConnection), DMDisplayNames::of(snapshot.interfaceType));
    setFact(DMTr::text(DMTexts::factPartitionMap), DMDisplayNames::of(snapshot.partitionMap));
    setFact(DMTr::text(DMTexts::factType), DMDisplayNames::of(snapshot.type));
    setFact(DMTr::text(DMTexts::factDevice), snapshot.identifier);
    capacityMaps_->setItems(snapshot.partitions, snapshot.capacity);
    if (healthView_->identifier() != snapshot.identifier) {
        healthView_->load(snapshot.identifier);
    }
}

bool DMLocalDriveViewController::itemRule(const DMMacDockViewBaseItem& item) {
    return DMDriveRules::wholeDiskRule(static_cast<DMDriveAction>(item.action), snapshot());
}

std::string DMLocalDriveViewController::itemRuleReason(const DMMacDockViewBaseItem& item) {
    return DMDriveRuleReasons::wholeDisk(static_cast<DMDriveAction>(item.action), snapshot());
}

}  // namespace harbormind
