// A sync editor and the player in one process: a small editor written here, byte for byte
// from the protocol, on a socket of its own; the show's clock steps in fixed frames and the
// session is given the time, so retries are exact. Connecting quietly once a second, keys,
// SET_ROW, PAUSE, the rows told back, a live reload that keeps the connection and the track
// numbers, malformed bytes, and baked keys that draw what the editor showed.

#include "runtime/OrvSyncSession.h"
#include "audio/OrvMusic.h"
#include "base/OrvFixedStepClock.h"
#include "base/OrvQuietLoadingObserver.h"
#include "base/OrvRunContext.h"
#include "platform/OrvInputEvent.h"
#include "runtime/OrvDebugSession.h"
#include "runtime/OrvPlayer.h"
#include "runtime/OrvSyncClient.h"
#include "runtime/OrvVideo.h"
#include "show/OrvShow.h"
#include "support/OrvGlTestWindow.h"
#include "support/OrvMiddleColourSink.h"
#include "support/OrvMusicTestAudio.h"
#include "support/OrvSyncTestEditor.h"
#include "support/OrvTestContext.h"
#include "support/OrvTestFolder.h"
#include "support/OrvTestImages.h"

#include <algorithm>
#include <cstring>
#include <epoxy/gl.h>
#include <gtest/gtest.h>
#include <memory>
#include <sndfile.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
// 120 bpm, 8 rows a beat: a row is 62.5 ms.
std::string Script(const std::string& sync, const std::string& objects = "") {
    return "header {\n  title: Sync\n  music: music.wav\n  bpm: 120\n  width: 64\n"
           "  height: 48\n  sync: sync.txt\n}\nobjects {\n" +
           objects + "}\nrenderLines {\n  screen {\n  }\n}\nsync {\n" + sync +
           "}\nscript {\n  0 screen.clear.a = 1\n}\n";
}

// The window, a show of the folder and a player on a fixed clock, with (when given an
// address) debug mode's hooks: live reload, then the sync session.
struct SyncRun {
    SyncRun(const OrvTestFolder& folder, const std::string& address)
        : context(folder.DataPath("")), video(context.run), clock(50),
          player(std::unique_ptr<OrvShow>(new OrvShow(context.run)), video, clock,
                 context.run.Display(), music) {
        if (!address.empty())
            sync.reset(new OrvSyncSession(address));
    }
    bool Open() {
        OrvShow& show = player.Show();
        if (!show.ReadScript() || !video.Open(64, 48, 64.0 / 48.0, false, show.Loader()))
            return false;
        OrvQuietLoadingObserver quiet;
        show.Load(quiet);
        music.Load(show.Files().Path(show.MusicName()), context.diagnostics);
        if (sync) {
            reload.reset(new OrvDebugSession(context.run));
            player.AddHook(*reload);
            player.AddHook(*sync);
            player.SetDebug(true);
        }
        player.SetFrameSink(&sink);
        player.Start();
        return true;
    }
    // One turn of the player's loop at `now` on the real-time clock.
    void Frame(unsigned now) {
        if (sync) {
            reload->BeforeFrame(player);
            sync->BeforeFrameAt(player, now);
        }
        player.Step();
    }
    ~SyncRun() {
        if (sync) {
            player.RemoveHook(*reload);
            player.RemoveHook(*sync);
        }
        reload.reset();
        player.UnloadShow();
        music.Release();
        video.Close();
    }
    OrvTestContext context;
    OrvVideo video;
    OrvMusic music;
    OrvFixedStepClock clock;
    OrvPlayer player;
    std::unique_ptr<OrvDebugSession> reload;
    std::unique_ptr<OrvSyncSession> sync;
    OrvMiddleColourSink sink;
};

void WriteMusic(const OrvTestFolder& folder) {
    OrvMusicWriteAudio(folder.DataPath("music.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2,
                       OrvMusicRamp(44100 * 2));
}
} // namespace

TEST(OrvSyncSession, AnEditorTimesTheShowAcrossReloadsAndBadBytes) {
    ORV_SKIP_WITHOUT_DISPLAY();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    OrvTestFolder folder;
    WriteMusic(folder);
    folder.WriteData("pic.png", OrvMakePng(4, 4, 3, OrvRepeatPixel({255, 255, 0}, 16)));
    folder.WriteData("script.txt",
                     Script("  screen.clear.r\n  objects.pic\n", "  pic: image pic.png {\n  }\n"));
    OrvSyncTestEditor editor;
    SyncRun run(folder, editor.Address());
    ASSERT_TRUE(run.Open()) << run.context.diagnostics.Text();

    // No editor yet: the show plays, quietly. Once one listens, the next try comes a second
    // after the last one, not before.
    testing::internal::CaptureStderr();
    run.Frame(0);
    editor.Listen();
    run.Frame(500);
    EXPECT_FALSE(editor.Accept());
    run.Frame(1000);
    ASSERT_TRUE(editor.Accept());
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
    unsigned now = 1000;
    run.Frame(now += 20);
    editor.Pump();
    ASSERT_EQ((std::vector<std::string>{"screen:clear.r", "objects:pic"}), editor.tracks);
    EXPECT_TRUE(OrvRgbNear(run.sink.middle, OrvRgba{0, 0, 0, 255}, 2)) << run.sink.middle;

    // A key shows on the next frame.
    editor.SetKey(0, 0, 1.0f, 0);
    run.Frame(now += 20);
    EXPECT_TRUE(OrvRgbNear(run.sink.middle, OrvRgba{255, 0, 0, 255}, 2)) << run.sink.middle;

    // SET_ROW moves the show there; PAUSE holds it; played again, the rows go back.
    editor.Pump();
    EXPECT_FALSE(editor.rows.empty()) << "playing, the show tells its rows";
    editor.rows.clear();
    editor.Pause(true);
    editor.SetRow(320);
    run.Frame(now += 20);
    EXPECT_TRUE(run.player.Paused());
    EXPECT_EQ(20000u, run.sink.position);
    run.Frame(now += 20);
    EXPECT_EQ(20000u, run.sink.position);
    editor.Pump();
    EXPECT_TRUE(editor.rows.empty()) << "paused, the show does not tell its rows";
    editor.Pause(false);
    for (int frame = 0; frame < 10; ++frame)
        run.Frame(now += 20);
    EXPECT_FALSE(run.player.Paused());
    EXPECT_EQ(20200u, run.sink.position);
    editor.Pump();
    // 20.02 s to 20.2 s: rows 320 (known to the editor) to 323, each told once.
    EXPECT_EQ((std::vector<uint32_t>{321, 322, 323}), editor.rows);

    // A reload: the new sync block adds green and drops the picture (its parameter goes).
    // The connection stays; only the new name is asked for, with the next number.
    folder.WriteData("script.txt", Script("  screen.clear.g\n  screen.clear.r\n"));
    run.Frame(now += 20);
    ASSERT_EQ(1, run.reload->Reloads()) << run.player.Show().Diagnostics().Text();
    editor.Pump();
    ASSERT_EQ(3u, editor.tracks.size());
    EXPECT_EQ("screen:clear.g", editor.tracks[2]);
    EXPECT_TRUE(run.sync->Client().Connected());
    EXPECT_FALSE(run.sync->Tracks().Bound(1));
    editor.SetKey(2, 0, 1.0f, 0);
    editor.SetKey(1, 0, 0.0f, 0); // the gone parameter's track: kept, drives nothing
    run.Frame(now += 20);
    EXPECT_TRUE(OrvRgbNear(run.sink.middle, OrvRgba{255, 255, 0, 255}, 2)) << run.sink.middle;

    // F6 saves the keys too, of the tracks whose parameters the show has.
    run.player.HandleEvent(OrvInputEvent::Key(OrvInputEvent::KeyUp, OrvKey::F6));
    run.Frame(now += 20);
    std::string baked = OrvReadFile(folder.DataPath("sync.txt"));
    EXPECT_NE(std::string::npos, baked.find("0.000 screen.clear.g = 1\n")) << baked;
    EXPECT_EQ(std::string::npos, baked.find("objects.pic")) << baked;
    run.Frame(now += 20); // the saved file is the show's: it loads again, with the keys
    EXPECT_EQ(2, run.reload->Reloads());
    EXPECT_TRUE(run.sync->Client().Connected());

    // Malformed bytes end the connection with one line; the keys stay.
    testing::internal::CaptureStderr();
    editor.Send(std::string(1, char(9)));
    run.Frame(now += 20);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(run.sync->Client().Connected());
    EXPECT_NE(std::string::npos, said.find("unknown command")) << said;
    EXPECT_EQ(1, std::count(said.begin(), said.end(), '\n')) << said;
    run.Frame(now += 20);
    EXPECT_TRUE(OrvRgbNear(run.sink.middle, OrvRgba{255, 255, 0, 255}, 2)) << run.sink.middle;

    // A key for a track never asked for is malformed too, after a reconnection that asks
    // for every track again in its order.
    editor.tracks.clear();
    run.Frame(now += 1000);
    ASSERT_TRUE(editor.Accept());
    run.Frame(now += 20);
    editor.Pump();
    EXPECT_EQ((std::vector<std::string>{"screen:clear.r", "objects:pic", "screen:clear.g"}),
              editor.tracks);
    testing::internal::CaptureStderr();
    editor.SetKey(3, 0, 1.0f, 0);
    run.Frame(now += 20);
    said = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, said.find("never asked for")) << said;
    EXPECT_FALSE(run.sync->Client().Connected());
}

TEST(OrvSyncSession, BakedKeysDrawWhatTheEditorShowed) {
    ORV_SKIP_WITHOUT_DISPLAY();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    OrvTestFolder folder;
    WriteMusic(folder);
    folder.WriteData("script.txt",
                     Script("  screen.clear.r\n  screen.clear.g\n  screen.clear.b\n"));
    std::vector<unsigned> rows;
    for (unsigned i = 0; i < 20; ++i)
        rows.push_back(i * 13 + i % 3); // between keys, on keys, past the last one
    std::vector<OrvRgba> shown;
    {
        OrvSyncTestEditor editor;
        editor.Listen();
        SyncRun run(folder, editor.Address());
        ASSERT_TRUE(run.Open()) << run.context.diagnostics.Text();
        run.Frame(0);
        ASSERT_TRUE(editor.Accept());
        run.Frame(20);
        editor.Pump();
        ASSERT_EQ(3u, editor.tracks.size());
        // Every kind of key on each colour, at rows of their own.
        for (uint32_t track = 0; track < 3; ++track) {
            for (uint32_t key = 0; key < 8; ++key) {
                float value = static_cast<float>((key * 7 + track * 3) % 10) / 9.0f;
                editor.SetKey(track, 4 + track * 5 + key * 29, value, char((key + track) % 4));
            }
        }
        editor.Pause(true);
        unsigned now = 40;
        for (unsigned row : rows) {
            editor.SetRow(row);
            run.Frame(now += 20);
            shown.push_back(run.sink.middle);
        }
        editor.Save();
        run.Frame(now += 20);
    }
    std::string baked = OrvReadFile(folder.DataPath("sync.txt"));
    ASSERT_NE(std::string::npos, baked.find("smooth")) << baked;

    // Played without an editor: the same colours at the same rows.
    SyncRun plain(folder, "");
    ASSERT_TRUE(plain.Open()) << plain.context.diagnostics.Text();
    for (size_t i = 0; i < rows.size(); ++i) {
        plain.player.Seek(static_cast<unsigned>(rows[i] * 62.5 + 0.5));
        plain.clock.SetPaused(true);
        plain.player.Step();
        EXPECT_TRUE(OrvRgbNear(plain.sink.middle, shown[i], 0))
            << "row " << rows[i] << ": " << plain.sink.middle << " baked, " << shown[i] << " live";
    }
    // And they changed from row to row: the comparison saw keys at work.
    int changes = 0;
    for (size_t i = 1; i < shown.size(); ++i)
        changes += !OrvRgbNear(shown[i], shown[i - 1], 0);
    EXPECT_GT(changes, 15);
}

TEST(OrvSyncSession, ASyncNameThatIsNoParameterStopsTheShowAtItsLine) {
    ORV_SKIP_WITHOUT_DISPLAY();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    OrvTestFolder folder;
    WriteMusic(folder);
    folder.WriteData("script.txt", Script("  screen.clear.r\n  screen.clear.q\n"));
    SyncRun run(folder, "");
    bool loaded = false;
    try {
        loaded = run.Open();
    } catch (const std::exception&) {
    }
    EXPECT_FALSE(loaded);
    const std::vector<OrvDiagnostics::Record>& records = run.context.diagnostics.Records();
    ASSERT_GE(records.size(), 2u);
    EXPECT_NE(std::string::npos, records[0].text.find("Unknown parameter: screen.clear.q"));
    EXPECT_EQ("script.txt", records[1].file);
    EXPECT_EQ(17, records[1].line); // the second line of the sync block
    EXPECT_EQ("Error on line: screen.clear.q", records[1].text);
}

TEST(OrvSyncSession, LocalhostReachesAnEditorListeningOnIpv4Only) {
    // "localhost" may name ::1 first; the editor listens on 127.0.0.1 alone.
    OrvSyncTestEditor editor;
    editor.Listen();
    std::string address = editor.Address();
    OrvSyncClient client("localhost" + address.substr(address.find(':')));
    client.Update(0);
    EXPECT_TRUE(editor.Accept());
    client.Update(20);
    EXPECT_TRUE(client.Connected());
    EXPECT_TRUE(client.TakeNewConnection());
    EXPECT_FALSE(client.TakeNewConnection());
}

TEST(OrvSyncSession, AFloodOfKeysIsReadABoundedAmountAFrame) {
    OrvSyncTestEditor editor;
    editor.Listen();
    OrvSyncClient client(editor.Address());
    client.Update(0);
    ASSERT_TRUE(editor.Accept());
    client.Update(0);
    ASSERT_TRUE(client.TakeNewConnection());
    client.SendGetTrack("a:b");
    const int keys = 20000; // 280,000 bytes
    std::string flood;
    for (int k = 0; k < keys; ++k)
        flood += std::string(1, '\0') + std::string(4, '\0') +
                 std::string{char(k >> 24), char(k >> 16), char(k >> 8), char(k)} +
                 std::string(4, '\0') + char(1);
    std::thread sender([&] { editor.Send(flood); });
    int frames = 0, read = 0, most = 0;
    OrvSyncMessageReader::Message message;
    while (read < keys && frames < 10000) {
        client.Update(0);
        int thisFrame = 0;
        while (client.Next(message))
            ++thisFrame;
        read += thisFrame;
        most = std::max(most, thisFrame);
        ++frames;
    }
    sender.join();
    EXPECT_EQ(keys, read);
    EXPECT_LE(most, static_cast<int>(OrvSyncClient::MaxReadPerFrame / 14) + 1);
    EXPECT_GE(frames, keys * 14 / static_cast<int>(OrvSyncClient::MaxReadPerFrame));
    EXPECT_TRUE(client.Connected());
}
