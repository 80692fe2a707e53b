#pragma once

#include <memory>
#include <string>

#include "platform/SettingsStore.h"

namespace harbormind {

// The application's standard settings store and named suites shared between programs.
class SettingsStores {
public:
    virtual ~SettingsStores() = default;
    virtual std::shared_ptr<SettingsStore> standard() = 0;
    virtual std::shared_ptr<SettingsStore> suite(const std::string& name) = 0;
};

}  // namespace harbormind
