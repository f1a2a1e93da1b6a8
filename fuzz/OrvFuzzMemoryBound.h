#ifndef ORV_FUZZ_ORVFUZZMEMORYBOUND_H
#define ORV_FUZZ_ORVFUZZMEMORYBOUND_H

// The peak-memory bound of the fuzz targets: libFuzzer reports an input as a finding when the
// process's resident memory passes RssLimitMb, or when one allocation asks for more than
// MallocLimitMb. The readers must hold what a hostile input costs within the file's size times
// a small factor; fuzzer inputs are at most a few kilobytes to a megabyte, so a reader that
// trusted a count would pass these at once.
//
// Each target's LLVMFuzzerInitialize calls AddMemoryBound, which puts the two flags in front
// of the command line's own, so a flag given by hand still wins (libFuzzer keeps the last).
// libFuzzer reads the flags after LLVMFuzzerInitialize and keeps using the argument array, so
// the new one lives as long as the process.

#include <string>
#include <vector>

namespace OrvFuzzMemoryBound {

// Room for the sanitizers' own memory (AddressSanitizer keeps freed blocks for a while).
const int RssLimitMb = 1024;
const int MallocLimitMb = 128;

inline void AddMemoryBound(int* argc, char*** argv) {
    static std::vector<std::string> flags = {"-rss_limit_mb=" + std::to_string(RssLimitMb),
                                             "-malloc_limit_mb=" + std::to_string(MallocLimitMb)};
    static std::vector<char*> args;
    args.assign(*argv, *argv + *argc);
    for (std::size_t i = 0; i < flags.size(); ++i)
        args.insert(args.begin() + 1 + static_cast<long>(i), &flags[i][0]);
    args.push_back(nullptr);
    *argc = static_cast<int>(args.size()) - 1;
    *argv = args.data();
}

} // namespace OrvFuzzMemoryBound

#endif
