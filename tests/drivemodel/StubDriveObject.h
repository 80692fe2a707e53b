#pragma once

#include <memory>
#include <string>

#include "drivemodel/DMDriveObjectProtocol.h"

namespace harbormind::test {

// A drive object with an identifier and a category and nothing else: no manager, family or
// activity, and setters that keep nothing. A test overrides what its drive does differently.
class StubDriveObject : public DMDriveObjectProtocol {
public:
    StubDriveObject(std::string identifier, DMDriveObjectCategory category)
        : identifier_(std::move(identifier)), category_(category) {}

    std::string identifier() const override { return identifier_; }
    void setIdentifier(std::string) override {}
    std::string name() const override { return identifier_; }
    void setName(std::string) override {}
    std::string icon() const override { return {}; }
    bool isActive() const override { return false; }
    bool isHidden() const override { return false; }
    std::shared_ptr<DMDriveManagerProtocol> manager() const override { return nullptr; }
    void setManager(std::weak_ptr<DMDriveManagerProtocol>) override {}
    std::shared_ptr<DMDriveObjectDelegate> delegate() const override { return nullptr; }
    void setDelegate(std::weak_ptr<DMDriveObjectDelegate>) override {}
    DMDriveObjectCategory category() const override { return category_; }
    void setCategory(DMDriveObjectCategory) override {}
    std::shared_ptr<DMDriveObjectProtocol> parent() const override { return nullptr; }
    void setParent(std::weak_ptr<DMDriveObjectProtocol>) override {}
    ChildMap children() const override { return {}; }
    void setChildren(ChildMap) override {}
    std::shared_ptr<DMDriveObjectProtocol> logicalDriveObj() const override { return nullptr; }
    std::shared_ptr<DMDriveObjectProtocol> physicalDriveObj() const override { return nullptr; }
    DMDriveObjectActivityIndicator activityIndicator() const override { return DMDriveObjectActivityIndicator::none(); }
    void update() override {}

private:
    std::string identifier_;
    DMDriveObjectCategory category_;
};

}  // namespace harbormind::test
