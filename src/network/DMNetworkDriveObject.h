#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "drivemodel/DMDriveObjectProtocol.h"
#include "platform/NetworkMounter.h"

namespace harbormind {

// A network share the user connects to: its address and account, whether it is connecting,
// where it is mounted and how full it is. Its identifier is its URL identity
// scheme://userName@host/dir, recomputed on refresh. Safe to read from any thread.
class DMNetworkDriveObject final : public DMDriveObjectProtocol,
                                   public std::enable_shared_from_this<DMNetworkDriveObject> {
public:
    explicit DMNetworkDriveObject(std::weak_ptr<DMDriveManagerProtocol> manager = {});

    // DMBaseObjectProtocol
    std::string identifier() const override;
    void setIdentifier(std::string identifier) override;
    std::string name() const override;
    void setName(std::string name) override;
    std::string icon() const override { return "cloud_drive"; }
    bool isActive() const override { return mountPoint().has_value(); }
    bool isHidden() const override;

    // DMDriveObjectProtocol
    std::shared_ptr<DMDriveManagerProtocol> manager() const override;
    void setManager(std::weak_ptr<DMDriveManagerProtocol> manager) override;
    std::shared_ptr<DMDriveObjectDelegate> delegate() const override;
    void setDelegate(std::weak_ptr<DMDriveObjectDelegate> delegate) override;
    DMDriveObjectCategory category() const override;
    void setCategory(DMDriveObjectCategory category) override;
    std::shared_ptr<DMDriveObjectProtocol> parent() const override { return nullptr; }
    void setParent(std::weak_ptr<DMDriveObjectProtocol>) override {}
    ChildMap children() const override { return {}; }
    void setChildren(ChildMap) override {}
    std::shared_ptr<DMDriveObjectProtocol> logicalDriveObj() const override;
    std::shared_ptr<DMDriveObjectProtocol> physicalDriveObj() const override;
    DMDriveObjectActivityIndicator activityIndicator() const override;
    // Re-reads the sizes of the mounted volume and recomputes the identifier.
    void update() override;

    std::optional<std::string> mountPoint() const;
    void setMountPoint(std::optional<std::string> mountPoint);
    std::int64_t capacity() const;
    std::optional<std::int64_t> used() const;
    std::optional<std::int64_t> free() const;
    std::string scheme() const;
    void setScheme(std::string scheme);
    std::string host() const;
    void setHost(std::string host);
    std::string userName() const;
    void setUserName(std::string userName);
    // The path on the server, with a leading "/" when present.
    std::string dir() const;
    void setDir(std::string dir);
    std::optional<std::string> password() const;
    void setPassword(std::optional<std::string> password);
    bool anonymous() const;
    void setAnonymous(bool anonymous);
    bool isConnecting() const;
    void setConnecting(bool connecting);
    // Sets isConnecting unless it is already set; false then.
    bool beginConnecting();
    // Runs `start` and keeps the request it returns, so the request's completion, which
    // clears it, cannot overtake the recording.
    void beginRequest(const std::function<NetworkMounter::RequestId()>& start);
    std::optional<NetworkMounter::RequestId> asyncRequestID() const;
    void setAsyncRequestID(std::optional<NetworkMounter::RequestId> request);
    bool saved() const;
    void setSaved(bool saved);
    // Set while a disconnect waits for written files to reach the server.
    bool isDisconnecting() const;
    void setDisconnecting(bool disconnecting);

    // A name, a host, and a user name unless the drive is anonymous.
    bool isComplete() const;
    bool isMounted() const { return mountPoint().has_value(); }
    bool isUnmounted() const { return !isMounted(); }
    // Saved but not mounted.
    bool isOffline() const;

    // scheme + "://" + host + dir.
    std::string urlString() const;
    // scheme + "://" + userName + "@" + host + dir.
    std::string urlIdentity() const;
    void refreshIdentifier();
    // Capacity, used and free of the mounted volume; absent (capacity 0) when unreadable.
    void refreshSizes();

    // Same scheme, host, user name, folder and anonymous flag; name, password and mount point
    // do not count.
    bool operator==(const DMNetworkDriveObject& other) const;

    // Tells the delegate, on the main queue, that the object's display state changed.
    void notifyDelegate();

private:
    mutable std::mutex mutex_;
    std::weak_ptr<DMDriveManagerProtocol> manager_;
    std::weak_ptr<DMDriveObjectDelegate> delegate_;
    DMDriveObjectCategory category_ = DMDriveObjectCategory::network;
    std::string identifier_;
    std::optional<std::string> mountPoint_;
    std::int64_t capacity_ = 0;
    std::optional<std::int64_t> used_;
    std::optional<std::int64_t> free_;
    std::string name_;
    std::string scheme_;
    std::string host_;
    std::string userName_;
    std::string dir_;
    std::optional<std::string> password_;
    bool anonymous_ = false;
    bool isConnecting_ = false;
    bool isDisconnecting_ = false;
    std::optional<NetworkMounter::RequestId> asyncRequestID_;
    bool saved_ = false;
};

}  // namespace harbormind
