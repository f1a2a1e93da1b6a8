// A sync editor's tracks at show scale: 1,000 tracks (250 colour blocks) of 100 keys each,
// the four key kinds taking turns.
//
// TracksVersusEnvelopes: the sync tracks as the frame's parameter source (OrvSyncTrackSource)
// against the timeline's envelopes for the same keys (the keys baked into timeline lines and
// loaded as a show loads its script, packed), playing the whole show forward at 60 frames
// a second, both delivering their values the same way (UpdateParameter on each owner). The
// two sides take turns every 60 frames and are measured in processor time; ratio = sync /
// envelopes, the median over the turns; ns_per_track is the sync side's cost per track and
// frame, envelope_ns_per_track the timeline's.
//
// WorstFrameWhileFlooded: an editor on another thread sends 100,000 keys over a loopback
// connection as fast as it can, after the show asked for its 1,000 tracks; the show's side
// runs frames (serve the connection, apply every message read, set the parameters) until all
// keys arrived, and the slowest frame, the mean and the number of frames are reported.

#include "animation/OrvColorParameter.h"
#include "animation/OrvParameterManager.h"
#include "animation/OrvSyncRows.h"
#include "animation/OrvSyncTrackSource.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvRandom.h"
#include "runtime/OrvSyncClient.h"
#include "script/OrvBakedSyncKeys.h"
#include "script/OrvSyncKeysWriter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {
const int Blocks = 250;
const int Tracks = Blocks * 4;
const int KeysPerTrack = 100;
const int RowStep = 16; // two beats between keys at 8 rows a beat
const OrvSyncRows Rows(120, 8);

struct Parameters {
    std::vector<OrvColorParameter> colors{Blocks};
    OrvDiagnostics diagnostics;
    OrvRandom random;
    OrvParameterManager manager{diagnostics, random};
    Parameters() {
        for (int b = 0; b < Blocks; ++b)
            manager.AddInterface("object" + std::to_string(b) + ".col", colors[b]);
    }
};

double ThreadNanoseconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e9 + now.tv_nsec;
}

void BM_TracksVersusEnvelopes(benchmark::State& state) {
    Parameters live;
    OrvSyncTrackSource tracks;
    for (int t = 0; t < Tracks; ++t)
        tracks.AddTrack(live.manager.FullName(t));
    tracks.Bind(&live.manager);
    for (int t = 0; t < Tracks; ++t) {
        for (int k = 0; k < KeysPerTrack; ++k) {
            unsigned row = static_cast<unsigned>(k * RowStep + t % 7);
            tracks.Track(t).SetKey(row, Rows.TimeOf(row), (k * 13 + t) % 17 * 0.1,
                                   static_cast<OrvSyncTrack::Type>((k + t) % 4));
        }
    }
    int skipped = 0;
    std::string text = OrvSyncKeysWriter::Text(tracks, skipped);
    Parameters baked;
    if (!OrvBakedSyncKeys::ProcessText(text, "sync.txt", 500.0, baked.manager, baked.diagnostics))
        state.SkipWithError("the baked keys did not load");
    baked.manager.RememberLoadedValues();
    unsigned length = Rows.TimeOf(KeysPerTrack * RowStep + 16);
    std::vector<unsigned> times;
    for (unsigned frame = 0; frame * 1000 / 60 < length; ++frame)
        times.push_back(frame * 1000 / 60);

    double syncTime = 0, envelopeTime = 0, frames = 0;
    std::vector<double> ratios;
    for (auto _ : state) {
        for (size_t first = 0; first < times.size(); first += 60) {
            size_t last = std::min(times.size(), first + 60);
            double begin = ThreadNanoseconds();
            for (size_t i = first; i < last; ++i)
                baked.manager.UpdateParameters(times[i]);
            double middle = ThreadNanoseconds();
            for (size_t i = first; i < last; ++i)
                tracks.ApplyAt(times[i]);
            double end = ThreadNanoseconds();
            envelopeTime += middle - begin;
            syncTime += end - middle;
            ratios.push_back((end - middle) / (middle - begin));
            frames += static_cast<double>(last - first);
        }
    }
    std::sort(ratios.begin(), ratios.end());
    state.counters["ratio"] = ratios[ratios.size() / 2];
    state.counters["ns_per_track"] = syncTime / frames / Tracks;
    state.counters["envelope_ns_per_track"] = envelopeTime / frames / Tracks;
}

std::string Word(uint32_t value) {
    return std::string{char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

// The editor: greets, waits for every track request, then sends `keys` keys at full speed.
void Editor(int listener, int keys) {
    int peer = accept(listener, nullptr, nullptr);
    int one = 1;
    setsockopt(peer, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    char greeting[19];
    size_t got = 0;
    while (got < sizeof greeting) {
        ssize_t n = recv(peer, greeting + got, sizeof greeting - got, 0);
        if (n <= 0)
            return;
        got += static_cast<size_t>(n);
    }
    send(peer, "hello, demo!", 12, MSG_NOSIGNAL);
    int requests = 0;
    std::string incoming;
    while (requests < Tracks) {
        char bytes[4096];
        ssize_t n = recv(peer, bytes, sizeof bytes, 0);
        if (n <= 0)
            return;
        incoming.append(bytes, static_cast<size_t>(n));
        while (incoming.size() >= 5 && incoming[0] == 2) {
            uint32_t length = (uint32_t(uint8_t(incoming[1])) << 24) |
                              (uint32_t(uint8_t(incoming[2])) << 16) |
                              (uint32_t(uint8_t(incoming[3])) << 8) | uint8_t(incoming[4]);
            if (incoming.size() < 5 + length)
                break;
            incoming.erase(0, 5 + length);
            ++requests;
        }
    }
    std::string batch;
    for (int k = 0; k < keys; ++k) {
        float value = static_cast<float>(k % 100) * 0.01f;
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        batch += std::string(1, '\0') + Word(k % Tracks) + Word((k / Tracks) * RowStep) +
                 Word(bits) + char(k % 4);
        if (batch.size() > 60000 || k + 1 == keys) {
            if (send(peer, batch.data(), batch.size(), MSG_NOSIGNAL) < 0)
                return;
            batch.clear();
        }
    }
    char rest;
    recv(peer, &rest, 1, 0); // until the show closes
    close(peer);
}

void BM_WorstFrameWhileFlooded(benchmark::State& state) {
    const int keys = 100000;
    double worst = 0, total = 0, frameCount = 0;
    for (auto _ : state) {
        int listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener, 1);
        socklen_t size = sizeof address;
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
        std::thread editor(Editor, listener, keys);

        Parameters show;
        OrvSyncTrackSource tracks;
        for (int t = 0; t < Tracks; ++t)
            tracks.AddTrack(show.manager.FullName(t));
        tracks.Bind(&show.manager);
        OrvSyncClient client("127.0.0.1:" + std::to_string(ntohs(address.sin_port)));
        int received = 0;
        unsigned now = 0;
        auto started = std::chrono::steady_clock::now();
        while (received < keys &&
               std::chrono::steady_clock::now() - started < std::chrono::seconds(60)) {
            auto begin = std::chrono::steady_clock::now();
            client.Update(now);
            if (client.TakeNewConnection()) {
                for (int t = 0; t < Tracks; ++t)
                    client.SendGetTrack(OrvSyncTrackSource::TrackName(tracks.Parameter(t)));
            }
            OrvSyncMessageReader::Message message;
            while (client.Next(message)) {
                if (message.kind == OrvSyncMessageReader::Kind::SetKey) {
                    tracks.Track(static_cast<int>(message.track))
                        .SetKey(message.row, Rows.TimeOf(message.row), message.value,
                                static_cast<OrvSyncTrack::Type>(message.keyType));
                    ++received;
                }
            }
            tracks.ApplyAt(now);
            double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
                    .count();
            if (received > 0) { // the flood: from the first key to the last
                worst = std::max(worst, ms);
                total += ms;
                ++frameCount;
            }
            now += 16;
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        client.Close();
        editor.join();
        close(listener);
        if (received < keys)
            state.SkipWithError("not every key arrived");
    }
    state.counters["worst_frame_ms"] = worst;
    state.counters["mean_frame_ms"] = frameCount > 0 ? total / frameCount : 0;
    state.counters["frames"] = frameCount / state.iterations();
}
} // namespace

BENCHMARK(BM_TracksVersusEnvelopes)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WorstFrameWhileFlooded)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
