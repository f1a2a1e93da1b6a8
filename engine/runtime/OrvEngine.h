#ifndef ORV_RUNTIME_ORVENGINE_H
#define ORV_RUNTIME_ORVENGINE_H

// One run of a presentation: PreInit reads the script, Init opens the window and loads
// everything the script names behind a loading screen, Run plays until the end position,
// Escape or a closed window. The Left and Right arrows jump sixteen beats back and forth.
//
// The engine puts together the parts that do the work: the show (the script and everything
// loaded from it, OrvShow), the window (OrvVideo), the loading screen (OrvLoadingScreen), the
// live clock (OrvRealTimeClock) and the player (OrvPlayer), which plays the show by that
// clock. The position of a frame is (ticks - startTicks) + jump offset, where startTicks lies
// `jump` seconds before the tick at which Run starts. The music follows the clock; the clock
// never reads the music.
//
// Init catches what loading raises (from the loading picture on): the message is reported
// with severity 1, the window is closed and Init fails; what was loaded stays until the engine
// goes. A window closed during loading also makes Init fail, with QuitRequested() true and
// nothing reported: the run then ends as a normal quit, every destructor having run.
//
// Debug mode (SetDebug, from OrvRun's flag) adds the player's debug keys and live reload
// (OrvDebugSession): the player's show is then replaced when its files change; and the
// connection to a sync editor (OrvSyncSession), a hook after the live reload.
//
// Ownership: the run context (data folder, diagnostics, random source, display facts) is the
// caller's and must outlive the engine; so must a clock handed in (tests and benchmarks step
// their own; without one the engine plays by its real-time clock). The engine owns its parts
// for its whole life: the window, the music (loaded after the show, from the file the show
// names, and kept across a reload) and the player, which owns the show playing; the show owns
// what it loaded and gives back every OpenGL object of it while the window still exists (the
// destructor unloads the show first, then closes the window). Used as one local object and
// never copied.

#include "audio/OrvMusic.h"
#include "base/IOrvLoadingObserver.h"
#include "base/OrvRealTimeClock.h"
#include "runtime/OrvDebugSession.h"
#include "runtime/OrvLoadingScreen.h"
#include "runtime/OrvPlayer.h"
#include "runtime/OrvSyncSession.h"
#include "runtime/OrvVideo.h"
#include "script/IOrvScriptLoader.h"
#include "show/OrvShow.h"

#include <memory>

#include <string>

class IOrvClock;
class OrvRunContext;

class OrvEngine : public IOrvLoadingObserver {
public:
    explicit OrvEngine(OrvRunContext& run);
    OrvEngine(OrvRunContext& run, IOrvClock& clock);
    ~OrvEngine();

    bool PreInit();
    // fullScreen: only bit 0 counts.
    bool Init(int width, int height, double aspectRatio, unsigned fullScreen);
    // True when the last Init failed because the window was closed during loading.
    bool QuitRequested() const { return quitRequested; }
    void Run();

    // "Not initialized" / -1.0 before PreInit created the loader.
    std::string StringValue(IOrvScriptLoader::OrvScriptLoaderStringValueId id);
    double NumericValue(IOrvScriptLoader::OrvScriptLoaderNumericValueId id);
    static const char* Version();

    // One loading step is done: advance the bar. A window closed meanwhile throws
    // OrvQuitRequest, which Init catches.
    void LoadingProgressed() override;

    // Debug mode: the player's debug keys and live reload of the show's files. Call after a
    // successful Init, before Run.
    void SetDebug(bool debug);
    // Where debug mode looks for a sync editor ("HOST:PORT"; OrvSyncSession::DefaultAddress
    // unless set). Call before SetDebug.
    void SetSyncAddress(const std::string& address) { syncAddress = address; }

    // The parts, for tools and tests built on the engine. Show() is the show playing now (a
    // reload in debug mode replaces it).
    OrvShow& Show() { return player.Show(); }
    OrvDebugSession* DebugSession() { return debugSession.get(); }
    OrvSyncSession* SyncSession() { return syncSession.get(); }
    OrvVideo& Video() { return video; }
    OrvPlayer& Player() { return player; }
    OrvMusic& Music() { return music; }

protected:
    bool InitVideo(int width, int height, double aspectRatio, bool fullScreen);
    void UpdateLoadingScreen();
    void Jump(bool forward);
    unsigned CurrentPosition(unsigned ticks) const;
    void SetCaption(const std::string& text);

private:
    OrvEngine(const OrvEngine&) = delete;
    OrvEngine& operator=(const OrvEngine&) = delete;

    OrvRunContext& run;
    OrvVideo video;
    OrvMusic music;
    OrvLoadingScreen loadingScreen;
    OrvRealTimeClock realTime;
    IOrvClock& clock;
    OrvPlayer player;
    std::unique_ptr<OrvDebugSession> debugSession;
    std::unique_ptr<OrvSyncSession> syncSession;
    bool quitRequested;
    std::string syncAddress;
};

#endif
