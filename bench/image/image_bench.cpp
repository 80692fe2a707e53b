// Reads a block device into an image file as the daemon's image jobs do and prints the seconds
// taken, the file's durability included.
//
//   image_bench DEVICE FILE [compress]
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "engines/clone/BlockDevice.h"
#include "engines/clone/ImageCopy.h"

using namespace harbormind;
using namespace harbormind::clone;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: image_bench DEVICE FILE [compress]\n");
        return 2;
    }
    const bool compress = argc > 3 && std::string(argv[3]) == "compress";
    auto start = std::chrono::steady_clock::now();
    int error = 0;
    auto source = BlockDevice::open(argv[1], BlockDevice::Access::read, BlockDevice::Caching::direct, error);
    if (!source) {
        std::fprintf(stderr, "cannot open %s: error %d\n", argv[1], error);
        return 1;
    }
    int image = ::open(argv[2], O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (image < 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    std::atomic<bool> stop{false};
    CloneOutcome outcome = ImageCopy::create(*source, image, compress, CloneOptions{}, stop, nullptr);
    ::close(image);
    double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (outcome.end != CloneEnd::finished) {
        std::fprintf(stderr, "the image was not made: %s\n", outcome.reason.c_str());
        return 1;
    }
    std::printf("%.3f\n", elapsed);
    return 0;
}
