#include "cleaning/FolderWorkStack.h"

namespace harbormind {

void FolderWorkStack::push(std::vector<Item>& items) {
    if (items.empty()) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        for (Item& item : items) {
            items_.push_back(std::move(item));
        }
    }
    items.clear();
    changed_.notify_all();
}

std::optional<FolderWorkStack::Item> FolderWorkStack::next(std::vector<Item>& found, bool wasBusy) {
    std::unique_lock lock(mutex_);
    for (Item& item : found) {
        items_.push_back(std::move(item));
    }
    bool handedOver = !found.empty();
    found.clear();
    if (wasBusy) {
        --busy_;
    }
    if (handedOver || (busy_ == 0 && items_.empty())) {
        changed_.notify_all();
    }
    changed_.wait(lock, [this] { return !items_.empty() || busy_ == 0; });
    if (items_.empty()) {
        return std::nullopt;
    }
    Item item = std::move(items_.back());
    items_.pop_back();
    ++busy_;
    return item;
}

}  // namespace harbormind
