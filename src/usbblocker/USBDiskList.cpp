#include "usbblocker/USBDiskList.h"

#include <algorithm>

#include "platform/DiskDescriptionKey.h"
#include "platform/Platform.h"
#include "platform/USBBlockerPaths.h"
#include "support/Dispatch.h"
#include "support/Log.h"
#include "support/Utf8Text.h"
#include "usbblocker/USBListsFormat.h"

namespace harbormind {
namespace {

bool hasName(const std::vector<Drive>& list, const std::string& name) {
    return std::any_of(list.begin(), list.end(), [&](const Drive& drive) { return drive.name == name; });
}

// `text` without every occurrence of `line` that stands as a whole line (at the start of the
// text or after a line feed); `removed` tells whether there was one. A match inside a longer
// line ("BA:5__white" holds "A:5__white") is left alone.
std::string withoutLine(const std::string& text, const std::string& line, bool& removed) {
    std::string result;
    result.reserve(text.size());
    removed = false;
    std::size_t copied = 0;
    std::size_t searchFrom = 0;
    while (searchFrom < text.size()) {
        std::size_t at = text.find(line, searchFrom);
        if (at == std::string::npos) {
            break;
        }
        if (at == 0 || text[at - 1] == '\n') {
            result.append(text, copied, at - copied);
            copied = at + line.size();
            searchFrom = copied;
            removed = true;
        } else {
            searchFrom = at + 1;
        }
    }
    result.append(text, copied, std::string::npos);
    return result;
}

}  // namespace

USBDiskListServices USBDiskList::platformServices() {
    Platform& platform = Platform::current();
    USBDiskListServices services;
    services.files = platform.fileContents();
    services.fileEvents = platform.fileEvents();
    services.diskArbitration = &platform.diskArbitration();
    services.driveTools = &DriveTools::shared();
    services.watchQueue = Dispatch::mainQueue();
    if (USBBlockerPaths* paths = platform.usbBlockerPaths()) {
        services.savePath = paths->listsFilePath();
        services.watchedFolder = paths->watchedFolder();
        services.dropInFiles = [paths] { return paths->dropInFiles(); };
    } else {
        services.savePath = defaultSavePath;
        services.watchedFolder = defaultWatchedFolder;
    }
    return services;
}

USBDiskList& USBDiskList::shared() {
    static USBDiskList* list = new USBDiskList(platformServices());
    return *list;
}

USBDiskList::USBDiskList(USBDiskListServices services) : services_(std::move(services)) {
    startWatch();
}

USBDiskList::~USBDiskList() {
    std::unique_ptr<FileWatch> watch;
    {
        std::lock_guard lock(mutex_);
        watch = std::move(fileWatch_);
    }
    // Stopping waits for a running handler, which takes the lock: release it first.
    watch.reset();
}

void USBDiskList::startWatch() {
    if (services_.fileEvents == nullptr || !services_.watchQueue) {
        return;
    }
    auto created = FileWatch::create(
        services_.fileEvents, {services_.watchedFolder}, FileWatch::CreateFlag::useCFTypes | FileWatch::CreateFlag::fileEvents,
        services_.watchQueue, watchLatency, [this](const FileWatch::Event& event) { fileChanged(event); });
    if (auto* error = std::get_if<FileWatch::Error>(&created)) {
        // The lists still work; changes by other processes show at the next load().
        Log::warning("USB lists: cannot watch " + services_.watchedFolder + " (error " +
                     std::to_string(static_cast<int>(*error)) + "); will retry at the next load");
        return;
    }
    std::lock_guard lock(mutex_);
    fileWatch_ = std::move(std::get<std::unique_ptr<FileWatch>>(created));
}

bool USBDiskList::isWatching() const {
    std::lock_guard lock(mutex_);
    return fileWatch_ != nullptr;
}

void USBDiskList::fileChanged(const FileWatch::Event& event) {
    if (event.path.find(services_.savePath) == std::string::npos) {
        return;
    }
    load();
    std::vector<std::shared_ptr<USBDiskListDelegate>> observers;
    {
        std::lock_guard lock(mutex_);
        observers = delegates_;
    }
    for (const auto& observer : observers) {
        observer->diskListDidChange();
    }
}

void USBDiskList::load() {
    if (!isWatching()) {
        startWatch();
    }
    USBLists lists;
    FileContents* files = services_.files;
    if (files != nullptr) {
        if (!files->exists(services_.savePath)) {
            if (!files->createEmpty(services_.savePath)) {
                Log::warning("USB lists: cannot create " + services_.savePath);
            }
        } else {
            FileReadResult read = files->read(services_.savePath, maximumFileSize);
            if (read.status == FileReadStatus::Read) {
                lists = USBListsFormat::parse(read.bytes);
            } else if (read.status != FileReadStatus::Missing) {
                failClosed(services_.savePath, read.status);
                return;
            }
        }
    }
    std::vector<std::string> administratorNames;
    if (!readDropIns(lists, administratorNames)) {
        return;
    }
    std::lock_guard lock(mutex_);
    readWhole_ = true;
    whiteList_ = std::move(lists.whiteList);
    blackList_ = std::move(lists.blackList);
    administratorNames_ = std::move(administratorNames);
}

bool USBDiskList::readDropIns(USBLists& lists, std::vector<std::string>& names) {
    if (services_.files == nullptr || !services_.dropInFiles) {
        return true;
    }
    for (const std::string& path : services_.dropInFiles()) {
        FileReadResult read = services_.files->read(path, maximumFileSize);
        if (read.status == FileReadStatus::Missing) {
            continue;
        }
        if (read.status != FileReadStatus::Read) {
            failClosed(path, read.status);
            return false;
        }
        USBLists more = USBListsFormat::parse(read.bytes);
        for (auto* list : {&more.whiteList, &more.blackList}) {
            for (const Drive& drive : *list) {
                names.push_back(drive.name);
            }
        }
        lists.whiteList.insert(lists.whiteList.end(), more.whiteList.begin(), more.whiteList.end());
        lists.blackList.insert(lists.blackList.end(), more.blackList.begin(), more.blackList.end());
    }
    return true;
}

void USBDiskList::failClosed(const std::string& path, FileReadStatus status) {
    Log::warning("USB lists: " + path +
                 (status == FileReadStatus::TooLarge ? " is too large to be a lists file"
                                                     : " cannot be read (or is not a plain file)") +
                 "; no disk counts as allowed and the disks blocked so far stay blocked");
    std::lock_guard lock(mutex_);
    readWhole_ = false;
    whiteList_.clear();
}

bool USBDiskList::isReadWhole() const {
    std::lock_guard lock(mutex_);
    return readWhole_;
}

void USBDiskList::add(const std::string& name, std::int64_t size, USBListKind kind) {
    if (!USBListsFormat::canStore(name)) {
        // Its line would read back as another name or list, or spoil the whole file.
        Log::warning("USB lists: a disk name that cannot be stored in the lists file was not added");
        return;
    }
    {
        std::lock_guard lock(mutex_);
        if (hasName(blackList_, name) || hasName(whiteList_, name)) {
            return;
        }
        (kind == USBListKind::White ? whiteList_ : blackList_).push_back(Drive{name, size});
    }
    // When the file cannot be opened (it may be missing) the entry stays in memory only.
    if (services_.files != nullptr) {
        std::string line = USBListsFormat::line(Drive{name, size}, kind);
        // A last line without its line feed would otherwise run into this one and become
        // another entry (a blocked disk's line turned into an allowed one).
        FileReadResult read = services_.files->read(services_.savePath, maximumFileSize);
        if (read.status == FileReadStatus::Read && !read.bytes.empty() && read.bytes.back() != '\n') {
            line.insert(line.begin(), '\n');
        } else if (read.status != FileReadStatus::Read && read.status != FileReadStatus::Missing) {
            Log::warning("USB lists: " + services_.savePath + " cannot be read; the entry is kept in memory only");
            return;
        }
        services_.files->append(services_.savePath, line);
    }
}

void USBDiskList::remove(const std::string& name, std::int64_t size, USBListKind kind) {
    {
        std::lock_guard lock(mutex_);
        auto& list = kind == USBListKind::White ? whiteList_ : blackList_;
        std::erase_if(list, [&](const Drive& drive) { return drive.name == name; });
    }
    FileContents* files = services_.files;
    if (files == nullptr || !files->exists(services_.savePath)) {
        return;
    }
    FileReadResult read = files->read(services_.savePath, maximumFileSize);
    if (read.status != FileReadStatus::Read || !Utf8Text::isValid(read.bytes)) {
        // Not text we can edit: leave the file as it is rather than guess.
        Log::warning("USB lists: cannot read " + services_.savePath + " to remove an entry");
        return;
    }
    bool removed = false;
    std::string text = withoutLine(read.bytes, USBListsFormat::line(Drive{name, size}, kind), removed);
    if (removed && !files->replace(services_.savePath, text)) {
        Log::warning("USB lists: cannot rewrite " + services_.savePath + "; the entry returns at the next load");
    }
}

void USBDiskList::addWhiteList(const std::string& name, std::int64_t size) {
    add(name, size, USBListKind::White);
}

void USBDiskList::removeWhiteList(const std::string& name, std::int64_t size) {
    remove(name, size, USBListKind::White);
}

void USBDiskList::addBlackList(const std::string& name, std::int64_t size) {
    add(name, size, USBListKind::Black);
}

void USBDiskList::removeBlackList(const std::string& name, std::int64_t size) {
    remove(name, size, USBListKind::Black);
}

bool USBDiskList::isInWhiteList(const std::string& name) const {
    std::lock_guard lock(mutex_);
    return hasName(whiteList_, name);
}

bool USBDiskList::isInBlackList(const std::string& name, std::int64_t /*size*/) const {
    std::lock_guard lock(mutex_);
    return hasName(blackList_, name);
}

bool USBDiskList::isSetByAdministrator(const std::string& name) const {
    std::lock_guard lock(mutex_);
    return std::find(administratorNames_.begin(), administratorNames_.end(), name) != administratorNames_.end();
}

std::optional<bool> USBDiskList::isInWhiteListBSDName(const std::string& bsdName) {
    if (services_.driveTools == nullptr || services_.diskArbitration == nullptr) {
        return std::nullopt;
    }
    auto whole = services_.driveTools->wholeDiskBSDName(bsdName);
    if (!whole) {
        return std::nullopt;
    }
    auto session = services_.diskArbitration->createSession();
    if (!session) {
        return std::nullopt;
    }
    auto disk = session->diskFromBSDName(*whole);
    if (!disk) {
        return std::nullopt;
    }
    auto description = session->copyDescription(*disk);
    std::string name = description ? description->text(DiskDescriptionKey::mediaName).value_or("") : "";
    return isInWhiteList(name);
}

void USBDiskList::addDelegate(std::shared_ptr<USBDiskListDelegate> delegate) {
    std::lock_guard lock(mutex_);
    delegates_.push_back(std::move(delegate));
}

std::vector<Drive> USBDiskList::whiteList() const {
    std::lock_guard lock(mutex_);
    return whiteList_;
}

std::vector<Drive> USBDiskList::blackList() const {
    std::lock_guard lock(mutex_);
    return blackList_;
}

}  // namespace harbormind
