#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace harbormind::test {

// A recorded sysfs tree in a temporary folder: the device folders, their attribute files
// and the class/block and dev/block links, shaped as the kernel lays them out. Beside it a
// folder that stands in for /dev, where a test can put image files for libblkid to read.
class FakeSysfs {
public:
    FakeSysfs() {
        std::string pattern = (std::filesystem::temp_directory_path() / "hm-sysfs-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data());
        std::filesystem::create_directories(root_ / "sys" / "class" / "block");
        std::filesystem::create_directories(root_ / "sys" / "dev" / "block");
        std::filesystem::create_directories(root_ / "dev");
        write("proc-mountinfo", "");
    }
    ~FakeSysfs() {
        std::error_code error;
        std::filesystem::remove_all(root_, error);
    }
    FakeSysfs(const FakeSysfs&) = delete;
    FakeSysfs& operator=(const FakeSysfs&) = delete;

    std::string sysfsRoot() const { return (root_ / "sys").string(); }
    std::string devRoot() const { return (root_ / "dev").string(); }
    std::string mountInfo() const { return (root_ / "proc-mountinfo").string(); }
    std::string devNode(const std::string& name) const { return (root_ / "dev" / name).string(); }

    // A whole disk at devices/<hardware>/block/<name>; `hardware` empty for a virtual disk.
    void addDisk(const std::string& hardware, const std::string& name, const std::string& devNumber,
                 long long sectors, std::map<std::string, std::string> attributes = {}) {
        std::filesystem::path folder = hardware.empty()
                                           ? root_ / "sys" / "devices" / "virtual" / "block" / name
                                           : root_ / "sys" / "devices" / hardware / "block" / name;
        makeBlock(folder, name, devNumber, sectors);
        put(folder / "removable", "0");
        put(folder / "queue" / "rotational", "0");
        if (!hardware.empty()) {
            std::filesystem::create_directory_symlink(std::filesystem::relative(root_ / "sys" / "devices" / hardware, folder),
                                                      folder / "device");
        }
        for (const auto& [path, value] : attributes) {
            put(folder / path, value);
        }
    }

    void addPartition(const std::string& disk, const std::string& name, const std::string& devNumber, int number,
                      long long start, long long sectors) {
        std::filesystem::path folder = folderOf(disk) / name;
        makeBlock(folder, name, devNumber, sectors);
        put(folder / "partition", std::to_string(number));
        put(folder / "start", std::to_string(start));
    }

    // A mapped device (dm-crypt) on top of `lower`.
    void addMapping(const std::string& lower, const std::string& name, const std::string& devNumber,
                    long long sectors, const std::string& mapperName, const std::string& mapperUuid) {
        std::filesystem::path folder = root_ / "sys" / "devices" / "virtual" / "block" / name;
        makeBlock(folder, name, devNumber, sectors);
        put(folder / "dm" / "name", mapperName);
        put(folder / "dm" / "uuid", mapperUuid);
        std::filesystem::create_directory_symlink(std::filesystem::relative(folderOf(lower), folder / "slaves"),
                                                  folder / "slaves" / lower);
        std::filesystem::create_directory_symlink(std::filesystem::relative(folder, folderOf(lower) / "holders"),
                                                  folderOf(lower) / "holders" / name);
    }

    // Hardware attributes (vendor, model, serial, idVendor) of devices/<hardware>.
    void setHardware(const std::string& hardware, const std::string& attribute, const std::string& value) {
        put(root_ / "sys" / "devices" / hardware / attribute, value);
    }
    void setAttribute(const std::string& name, const std::string& attribute, const std::string& value) {
        put(folderOf(name) / attribute, value);
    }
    void remove(const std::string& name) {
        std::filesystem::path folder = folderOf(name);
        // What it was mapped on no longer lists it as a holder.
        std::error_code error;
        for (std::filesystem::directory_iterator it(folder / "slaves", error), end; !error && it != end;
             it.increment(error)) {
            std::filesystem::remove(std::filesystem::canonical(it->path()) / "holders" / name);
        }
        std::filesystem::remove(root_ / "sys" / "class" / "block" / name);
        std::filesystem::remove_all(folder);
    }
    void write(const std::string& relative, const std::string& text) { put(root_ / relative, text); }
    void setMountInfo(const std::string& text) { write("proc-mountinfo", text); }

    std::filesystem::path folderOf(const std::string& name) const {
        return std::filesystem::canonical(root_ / "sys" / "class" / "block" / name);
    }

    // Runs a shell line (mkfs, sfdisk on an image file); true when it exits with 0.
    static bool run(const std::string& line) { return std::system((line + " >/dev/null 2>&1").c_str()) == 0; }

private:
    void makeBlock(const std::filesystem::path& folder, const std::string& name, const std::string& devNumber,
                   long long sectors) {
        std::filesystem::create_directories(folder / "holders");
        std::filesystem::create_directories(folder / "slaves");
        put(folder / "dev", devNumber);
        put(folder / "size", std::to_string(sectors));
        put(folder / "ro", "0");
        std::filesystem::create_directory_symlink(std::filesystem::relative(folder, root_ / "sys" / "class" / "block"),
                                                  root_ / "sys" / "class" / "block" / name);
        std::filesystem::path devLink = root_ / "sys" / "dev" / "block" / devNumber;
        std::filesystem::remove(devLink);
        std::filesystem::create_directory_symlink(std::filesystem::relative(folder, root_ / "sys" / "dev" / "block"),
                                                  devLink);
    }
    static void put(const std::filesystem::path& path, const std::string& text) {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << text << "\n";
    }

    std::filesystem::path root_;
};

}  // namespace harbormind::test
