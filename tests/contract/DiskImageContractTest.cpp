// The disk images' contract: a caller without an image job hears so, and a mounted disk is
// neither read into an image nor written from one, with the reason, whatever the file holds.
#include <fcntl.h>
#include <unistd.h>

#include "contract/DaemonContractTest.h"
#include "disktools/DMDiskToolsWrapper.h"
#include "testsupport/TemporaryFolder.h"
#include "xpc/DMDiskToolsServerProtocol.h"

namespace harbormind::test {
namespace {

using P = DMDiskToolsServerProtocol;

// An open file of the test's, closed when it goes.
class OpenFile {
public:
    OpenFile(const std::string& path, int flags) : fd_(::open(path.c_str(), flags | O_CLOEXEC, 0600)) {}
    ~OpenFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

bool startsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

TEST_P(DaemonContractTest, ACallerWithoutAnImageJobHearsSoAndStoppingItChangesNothing) {
    DMDiskToolsWrapper tools;
    EXPECT_EQ(tools.imageStatus().state, DMDiskImageStatus::State::none);
    XPCCodeAnswer stopped = tools.stopImage();
    EXPECT_EQ(stopped.code, P::done) << stopped.message;
    EXPECT_EQ(tools.imageStatus().state, DMDiskImageStatus::State::none);
}

TEST_P(DaemonContractTest, AMountedDiskIsNeitherReadIntoAnImageNorWrittenFromOneWithTheReason) {
    const std::string disk = machine->addDisk(128);
    machine->mount(disk);
    TemporaryFolder folder;
    TemporaryFolder::write(folder.file("disk.img"), std::string(1 << 20, 'Z'));
    const std::string reason = disk + " is mounted at ";

    OpenFile target(folder.file("new.img"), O_WRONLY | O_CREAT | O_TRUNC);
    DMDiskToolsWrapper tools;
    XPCCodeAnswer created = tools.createImage(disk, target.fd(), false);
    EXPECT_EQ(created.code, P::busy) << created.message;
    EXPECT_TRUE(startsWith(created.message, reason)) << created.message;
    EXPECT_TRUE(created.message.ends_with(P::imageInUseNote)) << created.message;

    OpenFile image(folder.file("disk.img"), O_RDONLY);
    for (const XPCCodeAnswer& answer : {tools.checkImageRestore(disk, image.fd()), tools.restoreImage(disk, image.fd())}) {
        EXPECT_EQ(answer.code, P::busy) << answer.message;
        EXPECT_TRUE(startsWith(answer.message, reason)) << answer.message;
        EXPECT_TRUE(answer.message.ends_with("; unmount it first")) << answer.message;
    }
    EXPECT_EQ(tools.imageStatus().state, DMDiskImageStatus::State::none);
}

}  // namespace
}  // namespace harbormind::test
