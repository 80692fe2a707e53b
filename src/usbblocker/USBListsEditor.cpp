#include "usbblocker/USBListsEditor.h"

#include "usbblocker/USBListsFormat.h"

namespace harbormind {
namespace {

bool has(const std::vector<Drive>& list, const std::string& name) {
    for (const auto& drive : list) {
        if (drive.name == name) {
            return true;
        }
    }
    return false;
}

}  // namespace

USBListsEditResult USBListsEditor::add(const std::string& name, std::int64_t size, USBListKind kind) {
    if (!USBListsFormat::canStore(name)) {
        return USBListsEditResult::CannotStore;
    }
    list_.load();
    const bool white = kind == USBListKind::White;
    if (white ? list_.isInWhiteList(name) : list_.isInBlackList(name, size)) {
        return USBListsEditResult::AlreadyListed;
    }
    if (white ? list_.isInBlackList(name, size) : list_.isInWhiteList(name)) {
        return USBListsEditResult::OnOtherList;
    }
    white ? list_.addWhiteList(name, size) : list_.addBlackList(name, size);
    list_.load();
    const bool saved = white ? list_.isInWhiteList(name) : list_.isInBlackList(name, size);
    return saved ? USBListsEditResult::Done : USBListsEditResult::NotSaved;
}

USBListsEditResult USBListsEditor::allow(const std::string& name, std::int64_t size) {
    return add(name, size, USBListKind::White);
}

USBListsEditResult USBListsEditor::block(const std::string& name, std::int64_t size) {
    return add(name, size, USBListKind::Black);
}

USBListsEditResult USBListsEditor::remove(const std::string& name) {
    return removeFromLists(name, true, true);
}

USBListsEditResult USBListsEditor::removeFrom(const std::string& name, USBListKind kind) {
    return removeFromLists(name, kind == USBListKind::White, kind == USBListKind::Black);
}

USBListsEditResult USBListsEditor::removeFromLists(const std::string& name, bool white, bool black) {
    list_.load();
    auto whites = white ? list_.whiteList() : std::vector<Drive>{};
    auto blacks = black ? list_.blackList() : std::vector<Drive>{};
    if (!has(whites, name) && !has(blacks, name)) {
        return USBListsEditResult::NotListed;
    }
    for (const auto& drive : whites) {
        if (drive.name == name) {
            list_.removeWhiteList(name, drive.size);
        }
    }
    for (const auto& drive : blacks) {
        if (drive.name == name) {
            list_.removeBlackList(name, drive.size);
        }
    }
    list_.load();
    if ((white && has(list_.whiteList(), name)) || (black && has(list_.blackList(), name))) {
        return list_.isSetByAdministrator(name) ? USBListsEditResult::SetByAdministrator
                                                : USBListsEditResult::NotSaved;
    }
    return USBListsEditResult::Done;
}

const char* USBListsEditor::message(USBListsEditResult result) {
    switch (result) {
        case USBListsEditResult::Done: return "done";
        case USBListsEditResult::AlreadyListed: return "already on that list";
        case USBListsEditResult::OnOtherList: return "on the other list; remove it there first";
        case USBListsEditResult::NotListed: return "on neither list";
        case USBListsEditResult::CannotStore:
            return "a name with a line feed, a colon, \"__white\" or invalid UTF-8 cannot be stored";
        case USBListsEditResult::NotSaved: return "the lists file could not be changed";
        case USBListsEditResult::SetByAdministrator:
            return "listed in an administrator's lists file; it can only be removed there";
    }
    return "";
}

}  // namespace harbormind
