#include "network/DMNetworkDriveObject.h"

#include "drivemodel/DMDriveManagerProtocol.h"
#include "drivemodel/DMDriveObjectDelegate.h"
#include "network/NetworkDriveUUID.h"
#include "platform/FileSystemInfo.h"
#include "platform/Platform.h"
#include "support/Dispatch.h"
#include "support/TextCase.h"

namespace harbormind {

DMNetworkDriveObject::DMNetworkDriveObject(std::weak_ptr<DMDriveManagerProtocol> manager)
    : manager_(std::move(manager)), identifier_(NetworkDriveUUID::make()) {}

#define HM_FIELD(Type, getter, setter, field)         \
    Type DMNetworkDriveObject::getter() const {       \
        std::lock_guard lock(mutex_);                 \
        return field;                                 \
    }                                                 \
    void DMNetworkDriveObject::setter(Type value) {   \
        std::lock_guard lock(mutex_);                 \
        field = std::move(value);                     \
    }

HM_FIELD(std::string, identifier, setIdentifier, identifier_)
HM_FIELD(std::string, name, setName, name_)
HM_FIELD(DMDriveObjectCategory, category, setCategory, category_)
HM_FIELD(std::optional<std::string>, mountPoint, setMountPoint, mountPoint_)
HM_FIELD(std::string, scheme, setScheme, scheme_)
HM_FIELD(std::string, host, setHost, host_)
HM_FIELD(std::string, userName, setUserName, userName_)
HM_FIELD(std::string, dir, setDir, dir_)
HM_FIELD(std::optional<std::string>, password, setPassword, password_)
HM_FIELD(bool, anonymous, setAnonymous, anonymous_)
HM_FIELD(bool, isConnecting, setConnecting, isConnecting_)
HM_FIELD(std::optional<NetworkMounter::RequestId>, asyncRequestID, setAsyncRequestID, asyncRequestID_)
HM_FIELD(bool, saved, setSaved, saved_)

#undef HM_FIELD

std::int64_t DMNetworkDriveObject::capacity() const {
    std::lock_guard lock(mutex_);
    return capacity_;
}

std::optional<std::int64_t> DMNetworkDriveObject::used() const {
    std::lock_guard lock(mutex_);
    return used_;
}

std::optional<std::int64_t> DMNetworkDriveObject::free() const {
    std::lock_guard lock(mutex_);
    return free_;
}

bool DMNetworkDriveObject::isHidden() const {
    auto owner = manager();
    if (!owner) {
        return false;
    }
    std::string filter = owner->filter();
    return !filter.empty() && !TextCase::containsIgnoringCase(name(), filter);
}

std::shared_ptr<DMDriveManagerProtocol> DMNetworkDriveObject::manager() const {
    std::lock_guard lock(mutex_);
    return manager_.lock();
}

void DMNetworkDriveObject::setManager(std::weak_ptr<DMDriveManagerProtocol> manager) {
    std::lock_guard lock(mutex_);
    manager_ = std::move(manager);
}

std::shared_ptr<DMDriveObjectDelegate> DMNetworkDriveObject::delegate() const {
    std::lock_guard lock(mutex_);
    return delegate_.lock();
}

void DMNetworkDriveObject::setDelegate(std::weak_ptr<DMDriveObjectDelegate> delegate) {
    std::lock_guard lock(mutex_);
    delegate_ = std::move(delegate);
}

std::shared_ptr<DMDriveObjectProtocol> DMNetworkDriveObject::logicalDriveObj() const {
    return std::const_pointer_cast<DMNetworkDriveObject>(shared_from_this());
}

std::shared_ptr<DMDriveObjectProtocol> DMNetworkDriveObject::physicalDriveObj() const {
    return logicalDriveObj();
}

DMDriveObjectActivityIndicator DMNetworkDriveObject::activityIndicator() const {
    bool busy = isConnecting() || isDisconnecting();
    return busy ? DMDriveObjectActivityIndicator::infinite() : DMDriveObjectActivityIndicator::none();
}

bool DMNetworkDriveObject::isDisconnecting() const {
    std::lock_guard lock(mutex_);
    return isDisconnecting_;
}

void DMNetworkDriveObject::setDisconnecting(bool disconnecting) {
    std::lock_guard lock(mutex_);
    isDisconnecting_ = disconnecting;
}

void DMNetworkDriveObject::update() {
    refreshSizes();
    refreshIdentifier();
}

bool DMNetworkDriveObject::beginConnecting() {
    std::lock_guard lock(mutex_);
    if (isConnecting_) {
        return false;
    }
    isConnecting_ = true;
    return true;
}

void DMNetworkDriveObject::beginRequest(const std::function<NetworkMounter::RequestId()>& start) {
    std::lock_guard lock(mutex_);
    asyncRequestID_ = start();
}

bool DMNetworkDriveObject::isComplete() const {
    std::lock_guard lock(mutex_);
    return !name_.empty() && !host_.empty() && (anonymous_ || !userName_.empty());
}

bool DMNetworkDriveObject::isOffline() const {
    std::lock_guard lock(mutex_);
    return saved_ && !mountPoint_;
}

std::string DMNetworkDriveObject::urlString() const {
    std::lock_guard lock(mutex_);
    return scheme_ + "://" + host_ + dir_;
}

std::string DMNetworkDriveObject::urlIdentity() const {
    std::lock_guard lock(mutex_);
    return scheme_ + "://" + userName_ + "@" + host_ + dir_;
}

void DMNetworkDriveObject::refreshIdentifier() {
    std::string identity = urlIdentity();
    std::lock_guard lock(mutex_);
    identifier_ = std::move(identity);
}

void DMNetworkDriveObject::refreshSizes() {
    std::optional<std::string> path = mountPoint();
    FileSystemSpace space;
    if (path) {
        space = Platform::current().fileSystem().space(*path);
    }
    std::lock_guard lock(mutex_);
    if (space.totalBytes && space.freeBytes) {
        capacity_ = *space.totalBytes;
        free_ = *space.freeBytes;
        used_ = *space.totalBytes - *space.freeBytes;
    } else {
        capacity_ = 0;
        free_.reset();
        used_.reset();
    }
}

bool DMNetworkDriveObject::operator==(const DMNetworkDriveObject& other) const {
    if (this == &other) {
        return true;
    }
    std::scoped_lock lock(mutex_, other.mutex_);
    return scheme_ == other.scheme_ && host_ == other.host_ && userName_ == other.userName_ && dir_ == other.dir_ &&
           anonymous_ == other.anonymous_;
}

void DMNetworkDriveObject::notifyDelegate() {
    std::weak_ptr<DMDriveObjectDelegate> target;
    {
        std::lock_guard lock(mutex_);
        target = delegate_;
    }
    Dispatch::mainQueue()->async([target] {
        if (auto delegate = target.lock()) {
            delegate->driveObjectDidChange();
        }
    });
}

}  // namespace harbormind
