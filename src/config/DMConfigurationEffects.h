#pragma once

#include <memory>
#include <vector>

#include "config/DMActivationPolicy.h"
#include "config/DMAppearance.h"
#include "config/DMWindowHandle.h"

namespace harbormind {

// What the settings change outside themselves. The application shell implements it; the
// configuration calls it on the main thread only.
class DMConfigurationEffects {
public:
    virtual ~DMConfigurationEffects() = default;

    // The Dock icon: the windows visible now, the activation policy, and bringing the
    // application back in front of the others.
    virtual std::vector<std::shared_ptr<DMWindowHandle>> visibleWindows() = 0;
    virtual void setActivationPolicy(DMActivationPolicy policy) = 0;
    virtual void activateIgnoringOtherApps() = 0;

    // The status-bar item: created only when none exists; removed from the status bar and
    // dropped when one exists.
    virtual void createStatusItem() = 0;
    virtual void removeStatusItem() = 0;

    // Handed to the registered local drive manager, if any, which passes them to the NTFS
    // service of the helper daemon.
    virtual void setIgnoreHibernateFile(bool flag) = 0;
    virtual void setNtfsDebugLogging(bool flag) = 0;

    // The window's look changed in the preferences.
    virtual void setAppearance(DMAppearance appearance) { (void)appearance; }
};

}  // namespace harbormind
