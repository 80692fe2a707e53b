#include "platform/sim/SimJunkLocations.h"

#include "platform/JunkCategoryTable.h"

namespace harbormind {

std::vector<JunkCategory> SimJunkLocations::categories(const std::string& home) {
    JunkCategoryTable table;
    table.add("globalTemp", "Temp",
        "Using your Mac generates a lot of temporary files. By deleting these files you can free up disk space.",
        {"/private/tmp"});
    table.add("userCache", "UserCache",
        "Originally intended to improve the startup time, the cache files of your applications ultimately "
        "accumulate and result in improper functioning or an overall performance drop.",
        {home + "/Library/Caches"});
    table.add("userLog", "UserLog",
        "The activity of your applications is constantly being captured into numerous log files, which start "
        "using a lot of disk space after some time but are rather useless especially, if they are old.",
        {home + "/Library/Logs"}, "/Data/Library/Logs");
    table.add("userPrefs", "UserPrefs",
        "Uninstalled applications may leave preference files (*.plist) that occupy the disk space on your Mac. "
        "Removing these .plist files can free up disk space.",
        {home + "/Library/Preferences"});
    table.add("mails", "Mails",
        "Email messages and attachments are temporarily saved to the disk when you open and view them using a "
        "Mail app. Deleting mail caches won't impact original email messages or attachments.",
        {home + "/Library/Containers/com.apple.mail/Data/Library/Mail"});
    table.add("trash", "Trash",
        "Files temporarily deleted will be put in the trash where it still occupies disk space. By emptying the "
        "trash, file are removed from the disk instantly so it can save your disk space.",
        {home + "/.Trash"});
    table.add("xcode", "Xcode",
        "When you use Xcode for development, Xcode will generate some of project's intermediate build "
        "information and project index. If you observe peculiar behavior like improper indexing or slowness of "
        "Xcode, It'd be helpful to clean these up.",
        {home + "/Library/Developer/Xcode/DerivedData", home + "/Library/Developer/Xcode/Archives",
         home + "/Library/Developer/Xcode/iOS Device Logs", home + "/Library/Developer/CoreSimulator/Caches"},
        {}, true);
    table.add("downloads", "Downloads",
        "Whenever you download a file, it gets stored on your Mac. Over time, these files accumulate and occupy "
        "a large disk space. Deleting the imcomplete downloads as well as the files you no longer need can save "
        "your disk space.",
        {home + "/Downloads"});
    table.add("userAppCache", "UserAppCache",
        "Caches speed up the performance of some apps. Some apps don't delete their caches and temporary files "
        "after use. This can occupy a large disk space unless they are deleted.",
        {}, "/Data/Library/Caches", true);
    table.add("systemLog", "SystemLog",
        "Deletes all log files created by the system,if you do not need them, delete them. ", {});
    return std::move(table).take();
}

std::string SimJunkLocations::containersFolder(const std::string& home) {
    return home + "/Library/Containers/";
}

}  // namespace harbormind
