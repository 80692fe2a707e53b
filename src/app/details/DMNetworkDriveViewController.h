#pragma once

#include <string>

#include "app/details/DMBaseViewController.h"

namespace harbormind {

class DMCapacityMapView;

// The detail view of a network drive.
class DMNetworkDriveViewController : public DMBaseViewController {
public:
    explicit DMNetworkDriveViewController(DMDetailContext context, QWidget* parent = nullptr);

    DMCapacityMapView* capacityMap() const { return capacityMap_; }
    // The explanation shown when connecting fails with `code`; for a code without a text of
    // its own, what the connecting program said (`reason`) when it said something.
    static std::string connectFailureText(int code, const std::string& reason = {});
    // Under the explanation: what to check, and the connecting program's own words.
    static std::string connectFailureDetail(int code, const std::string& reason);

protected:
    void apply(const DMDriveSnapshot& snapshot) override;
    bool itemRule(const DMMacDockViewBaseItem& item) override;
    std::string itemRuleReason(const DMMacDockViewBaseItem& item) override;
    void actionFinished(std::uint8_t action, int code) override;

private:
    DMCapacityMapView* capacityMap_;
};

}  // namespace harbormind
