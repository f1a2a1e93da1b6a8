// Feeds arbitrary bytes, as a music file, to the music's analysis: the decoder (libsndfile,
// through the music stream) reads them, and whatever it accepts is analysed whole (spectrum,
// onsets, tempo). Anything but a clean analysis or a refusal is a finding. The bytes go
// through a file of this process's own, since the analysis reads the music from its path.

#include "audio/OrvMusicAnalysis.h"
#include "base/OrvDiagnostics.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = "/tmp/orv-fuzz-music-" + std::to_string(getpid());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    OrvDiagnostics diagnostics;
    OrvMusicAnalysis analysis;
    analysis.Analyse(path, diagnostics, true);
    std::remove(path.c_str());
    return 0;
}
