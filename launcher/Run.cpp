#include "OrvLauncher.h"

// The command line is ignored: everything the show needs comes from its data folder.
int main() {
    return OrvLauncher::Run();
}
