#include "agent/USBAgentApplication.h"

int main(int argc, char** argv) {
    return harbormind::USBAgentApplication::run(argc, argv);
}
