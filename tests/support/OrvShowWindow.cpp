#include "support/OrvShowWindow.h"

#include "support/OrvChildProcess.h"
#include "support/OrvXDriver.h"

#include <chrono>
#include <cstdlib>
#include <thread>

unsigned long OrvWaitForTitle(OrvXDriver& x, OrvChildProcess& child, const std::string& prefix,
                              int timeoutMs) {
    for (int waited = 0; waited < timeoutMs && child.Running(); waited += 50) {
        unsigned long window = x.WaitForWindow(child.Pid(), 50);
        if (window != 0 && x.Name(window).compare(0, prefix.size(), prefix) == 0)
            return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
}

double OrvCaptionPosition(const std::string& caption) {
    size_t at = caption.find("Position: ");
    return at == std::string::npos ? -1 : std::atof(caption.c_str() + at + 10);
}
