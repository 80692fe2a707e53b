#include <gtest/gtest.h>

#include "drivemodel/DMDriveManager.h"
#include "drivemodel/DMDriveObjectProtocol.h"

namespace harbormind {
namespace {

class Delegate : public DMDriveManagerDelegateProtocol {
public:
    void driveAdded(std::shared_ptr<DMDriveObjectProtocol>) override {}
    void driveRemoved(std::shared_ptr<DMDriveObjectProtocol>) override {}
    void driveMounted(std::shared_ptr<DMDriveObjectProtocol>) override {}
    void driveUnmounted(std::shared_ptr<DMDriveObjectProtocol>) override {}
    void driveChanged(std::shared_ptr<DMDriveObjectProtocol>) override {}
};

// A manager that records what the facade does to it.
template <const char* Name>
class RecordingManager : public DMDriveManagerProtocol {
public:
    static std::string staticTypeName() { return Name; }
    std::string typeName() const override { return Name; }
    std::shared_ptr<DMDriveManagerDelegateProtocol> delegate() const override { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<DMDriveManagerDelegateProtocol> delegate) override { delegate_ = delegate; }
    DriveMap driveObjs() const override { return {}; }
    void setDriveObjs(DriveMap) override {}
    DriveList rootObjs() const override { return {}; }
    void setRootObjs(DriveList) override {}
    std::string filter() const override { return filter_; }
    void setFilter(std::string filter) override { filter_ = filter; }
    void start() override { ++starts; }
    void mount(std::shared_ptr<DMDriveObjectProtocol>, DMCompletion) override {}
    void unmount(std::shared_ptr<DMDriveObjectProtocol>, DMCompletion) override {}
    void open(std::shared_ptr<DMDriveObjectProtocol>, DMCompletion) override {}

    int starts = 0;

private:
    std::weak_ptr<DMDriveManagerDelegateProtocol> delegate_;
    std::string filter_;
};

constexpr char localName[] = "DMLocalDriveManager";
constexpr char networkName[] = "DMNetworkDriveManager";
using LocalManager = RecordingManager<localName>;
using NetworkManager = RecordingManager<networkName>;

TEST(DMDriveManagerTest, RegistrationHandsOverTheDelegateStartsAndKeysByTypeAndTag) {
    DMDriveManager facade;
    auto delegate = std::make_shared<Delegate>();
    facade.setDelegate(delegate);
    auto local = std::make_shared<LocalManager>();
    auto network = std::make_shared<NetworkManager>();
    facade.registerManager(local, "");
    facade.registerManager(network, "cloud");

    EXPECT_EQ(local->starts, 1);
    EXPECT_EQ(local->delegate(), delegate);
    EXPECT_EQ(facade.managerMap().count("DMLocalDriveManager"), 1U);
    EXPECT_EQ(facade.managerMap().count("DMNetworkDriveManagercloud"), 1U);
    EXPECT_EQ(facade.manager<LocalManager>(""), local);
    EXPECT_EQ(facade.manager<NetworkManager>("cloud"), network);
    EXPECT_EQ(facade.manager<NetworkManager>(""), nullptr);
    EXPECT_EQ(facade.manager<LocalManager>("cloud"), nullptr);
}

TEST(DMDriveManagerTest, ASecondManagerOfTheSameKeyReplacesTheFirstWhichKeepsRunning) {
    DMDriveManager facade;
    auto delegate = std::make_shared<Delegate>();
    facade.setDelegate(delegate);
    auto first = std::make_shared<LocalManager>();
    auto second = std::make_shared<LocalManager>();
    facade.registerManager(first, "");
    facade.registerManager(second, "");
    EXPECT_EQ(facade.manager<LocalManager>(""), second);
    EXPECT_EQ(first->delegate(), delegate);

    // Unregistering the replaced one finds nothing and leaves it alone.
    facade.unregisterManager(first);
    EXPECT_EQ(first->delegate(), delegate);
    facade.unregisterManager(second);
    EXPECT_EQ(second->delegate(), nullptr);
    EXPECT_TRUE(facade.managerMap().empty());
}

TEST(DMDriveManagerTest, FilterReachesOnlyManagersRegisteredWhenItIsSet) {
    DMDriveManager facade;
    facade.setFilter("mac");
    auto local = std::make_shared<LocalManager>();
    facade.registerManager(local, "");
    EXPECT_EQ(local->filter(), "");
    facade.setFilter("Data");
    EXPECT_EQ(local->filter(), "Data");
    EXPECT_EQ(facade.filter(), "Data");
}

TEST(DMDriveManagerTest, ALaterDelegateDoesNotReachRegisteredManagers) {
    DMDriveManager facade;
    auto local = std::make_shared<LocalManager>();
    facade.registerManager(local, "");
    auto delegate = std::make_shared<Delegate>();
    facade.setDelegate(delegate);
    EXPECT_EQ(local->delegate(), nullptr);
}

}  // namespace
}  // namespace harbormind
