#pragma once

namespace harbormind {

// The application-wide actions that the main window's corner menu sends; the application
// delegate carries them out.
class DMApplicationActions {
public:
    virtual ~DMApplicationActions() = default;
    virtual void about_clickWithSender() = 0;
    virtual void help_clickWithSender() = 0;
    virtual void checkForUpdates_clickWithSender() = 0;
    virtual void enableDebugLogging_clickWithSender() = 0;
    virtual bool isDebugLoggingEnabled() const = 0;
    virtual void quit_clickWithSender() = 0;
};

}  // namespace harbormind
