// Cut, altered and oversized 3DS files never crash or hang the reader: each one loads or is
// refused with the load message. lib3ds 1.3 crashes or loops for ever on such files when it
// reads them itself, so every read here runs in a forked child under a time limit: a fault
// that got past the check fails the test instead of ending the test program.

#include "scene/Orv3dsFileReader.h"

#include "base/OrvException.h"
#include "base/OrvRandom.h"
#include "support/Orv3dsTestChunks.h"
#include "support/Orv3dsTestModel.h"
#include "support/OrvChildProcess.h"
#include "support/OrvTestFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <sys/stat.h>

namespace {

const std::string refused = "raised Unable to load .3ds file: bad.3ds: ";

// Reads every file in one child and returns one outcome per file: "loaded" or "raised" and
// the message. A file without an outcome is the one the child died or hung on.
std::vector<std::string> ReadInChild(const std::vector<std::string>& files, int timeoutMs) {
    OrvChildProcess child([&files] {
        for (std::size_t i = 0; i < files.size(); ++i) {
            std::string outcome;
            try {
                Orv3dsFileContent content = Orv3dsFileReader::ReadBytes(files[i], "bad.3ds");
                outcome = "loaded";
            } catch (const OrvException& error) {
                outcome = "raised " + error.Message();
            }
            std::printf("%zu\t%s\n", i, outcome.c_str());
            std::fflush(stdout);
        }
        return 0;
    });
    const bool ended = child.Wait(timeoutMs);
    const std::string output = child.Output();
    EXPECT_TRUE(ended && child.Exited() && child.ExitCode() == 0)
        << (ended ? "child ended with code " + std::to_string(child.ExitCode())
                  : "child killed after " + std::to_string(timeoutMs) + " ms")
        << "; last output: " << output.substr(output.size() > 300 ? output.size() - 300 : 0);
    std::vector<std::string> outcomes(files.size(), "(no outcome)");
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::string::size_type tab = line.find('\t');
        std::size_t index = std::stoul(line.substr(0, tab));
        if (index < outcomes.size())
            outcomes[index] = line.substr(tab + 1);
    }
    return outcomes;
}

bool IsRefusal(const std::string& outcome) {
    return outcome.compare(0, refused.size(), refused) == 0 && outcome.size() > refused.size();
}

Orv3dsTestModel SmallModel() {
    Orv3dsTestModel model;
    model.materials.resize(2);
    model.materials[0].name = "Skin";
    model.materials[0].texture = "skin.png";
    model.materials[1].name = "Bone";
    model.meshes = {Orv3dsTestModel::Quad("Body", "Skin"), Orv3dsTestModel::Cube("Arm", 1)};
    model.meshes[1].faceMaterials.assign(12, "Bone");
    model.keyframer = true;
    return model;
}

} // namespace

TEST(Orv3dsBadFile, EveryCutIsRefused) {
    const std::string bytes = SmallModel().Bytes();
    ASSERT_GT(bytes.size(), 1000u);
    std::vector<std::string> files;
    for (std::size_t length = 0; length < bytes.size(); ++length)
        files.push_back(bytes.substr(0, length));
    // The same cuts with the outermost length mended, so that the damage is further in.
    for (std::size_t length = 6; length < bytes.size(); ++length) {
        std::string cut = bytes.substr(0, length);
        Orv3dsPut32(cut, 2, static_cast<uint32_t>(length));
        files.push_back(cut);
    }
    files.push_back(bytes);
    std::vector<std::string> outcomes = ReadInChild(files, 120000);
    EXPECT_EQ("loaded", outcomes.back());
    int loaded = 0;
    for (std::size_t i = 0; i + 1 < files.size(); ++i) {
        if (outcomes[i] == "loaded") {
            // Only a mended cut that ends between the outermost chunk's parts is whole.
            EXPECT_GE(i, bytes.size()) << "cut at " << files[i].size();
            ++loaded;
            continue;
        }
        EXPECT_TRUE(IsRefusal(outcomes[i])) << "cut at " << files[i].size() << ": " << outcomes[i];
    }
    EXPECT_LE(loaded, 3);
}

TEST(Orv3dsBadFile, CountsAndIndicesFarBeyondTheDataAreRefused) {
    const std::string bytes = SmallModel().Bytes();
    std::vector<std::string> files;
    for (const Orv3dsTestChunk& chunk : Orv3dsListChunks(bytes)) {
        std::size_t count = 0; // where a count or index to damage sits
        if (chunk.id == 0x4110 || chunk.id == 0x4120 || chunk.id == 0x4140)
            count = chunk.start + 6;
        else if (chunk.id == 0x4130)
            count = chunk.content;
        else
            continue;
        for (unsigned value : {65535u, 40000u, 1000u}) {
            std::string damaged = bytes;
            Orv3dsPut16(damaged, count, value);
            files.push_back(damaged);
            damaged = bytes;
            Orv3dsPut16(damaged, count + 2, value); // a face's first vertex or a listed face
            if (chunk.id == 0x4120 || chunk.id == 0x4130)
                files.push_back(damaged);
        }
    }
    // Lengths of 0 (lib3ds loops on the spot) and below the header, on every chunk.
    for (const Orv3dsTestChunk& chunk : Orv3dsListChunks(bytes)) {
        for (uint32_t length : {0u, 3u}) {
            std::string damaged = bytes;
            Orv3dsPut32(damaged, chunk.start + 2, length);
            files.push_back(damaged);
        }
    }
    ASSERT_GT(files.size(), 100u);
    std::vector<std::string> outcomes = ReadInChild(files, 120000);
    int refusedCount = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        // A damaged length inside the key-framer is never read, so such a file still loads.
        if (outcomes[i] == "loaded")
            continue;
        EXPECT_TRUE(IsRefusal(outcomes[i])) << "file " << i << ": " << outcomes[i];
        ++refusedCount;
    }
    EXPECT_GT(refusedCount, 100);
}

TEST(Orv3dsBadFile, RandomlyAlteredFilesLoadOrAreRefused) {
    std::vector<std::string> originals = {SmallModel().Bytes()};
    const std::string shared = std::string(ORV_TESTDATA_DIR) + "/3ds/";
    for (const char* name :
         {"test1.3ds", "cubes_with_alpha.3DS", "fels.3ds", "CameraRollAnimWithChildObject.3ds"}) {
        std::string bytes = OrvReadFile(shared + name);
        if (!bytes.empty())
            originals.push_back(bytes);
    }
    OrvRandom random;
    std::vector<std::string> files;
    for (const std::string& original : originals) {
        for (int variant = 0; variant < 1500; ++variant) {
            std::string altered = original;
            int changes = 1 + random.Next() % 4;
            for (int i = 0; i < changes; ++i) {
                std::size_t at =
                    (std::size_t(random.Next()) << 15 | random.Next()) % altered.size();
                altered[at] = char(random.Next() & 0xFF);
            }
            files.push_back(altered);
        }
    }
    std::vector<std::string> outcomes = ReadInChild(files, 240000);
    int loaded = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (outcomes[i] == "loaded") {
            ++loaded;
            continue;
        }
        EXPECT_TRUE(IsRefusal(outcomes[i])) << "variant " << i << ": " << outcomes[i];
    }
    std::cout << loaded << " of " << files.size() << " altered files still loaded\n";
}

// lib3ds recurses without end on a key-framer node that is its own parent (or on a cycle of
// parents), and allocates keys until memory runs out for a track with a huge key count. The
// engine does not use the key-framer, so lib3ds never sees it, and such files load.
TEST(Orv3dsBadFile, KeyframerDamageNeverReachesLib3ds) {
    const std::string bytes = SmallModel().Bytes();
    std::vector<Orv3dsTestChunk> nodeIds, headers, tracks;
    for (const Orv3dsTestChunk& chunk : Orv3dsListChunks(bytes)) {
        if (chunk.id == 0xB030)
            nodeIds.push_back(chunk);
        if (chunk.id == 0xB010)
            headers.push_back(chunk);
        if (chunk.id == 0xB020 || chunk.id == 0xB021 || chunk.id == 0xB022)
            tracks.push_back(chunk);
    }
    ASSERT_EQ(2u, nodeIds.size());
    ASSERT_EQ(2u, headers.size());
    ASSERT_FALSE(tracks.empty());
    auto parentAt = [](const Orv3dsTestChunk& header) { return header.start + header.length - 2; };
    std::string ownParent = bytes, cycle = bytes, hugeTracks = bytes;
    for (std::size_t node = 0; node < 2; ++node) {
        Orv3dsPut16(ownParent, parentAt(headers[node]),
                    Orv3dsGet16(bytes, nodeIds[node].start + 6));
        Orv3dsPut16(cycle, parentAt(headers[node]),
                    Orv3dsGet16(bytes, nodeIds[1 - node].start + 6));
    }
    for (const Orv3dsTestChunk& track : tracks)
        Orv3dsPut32(hugeTracks, track.start + 16, 0x7FFFFFFF); // after flags and 8 reserved
    std::vector<std::string> outcomes = ReadInChild({ownParent, cycle, hugeTracks}, 30000);
    EXPECT_EQ((std::vector<std::string>{"loaded", "loaded", "loaded"}), outcomes);
}
