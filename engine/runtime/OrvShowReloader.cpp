#include "runtime/OrvShowReloader.h"

#include "audio/OrvMusic.h"
#include "base/OrvDataFolder.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvException.h"
#include "base/OrvQuietLoadingObserver.h"
#include "show/OrvShow.h"

std::unique_ptr<OrvShow> OrvShowReloader::Reload(OrvRunContext& run, OrvShow& current,
                                                 OrvMusic& music,
                                                 const std::set<std::string>& changed,
                                                 unsigned position, bool playing) {
    std::unique_ptr<OrvShow> loaded(
        new OrvShow(run, std::unique_ptr<OrvDiagnostics>(new OrvDiagnostics())));
    bool ok = loaded->ReadScript();
    if (ok) {
        // Decoding and analysing a track takes about half a second: an edit of the script
        // alone takes the playing show's values.
        if (changed.count(loaded->MusicName()) == 0)
            loaded->ReuseMusicAnalysisOf(current);
        try {
            OrvQuietLoadingObserver quiet;
            loaded->Load(quiet);
        } catch (const OrvException& error) {
            loaded->Diagnostics().Report(1, error.Message());
            ok = false;
        }
    }
    if (ok) {
        std::string name = loaded->MusicName();
        bool sameMusic = name == current.MusicName() && changed.count(name) == 0;
        current.Unload();
        if (!sameMusic || !music.IsLoaded()) {
            music.Release(); // the sound device the new music needs
            if (!name.empty() && music.Load(loaded->Files().Path(name), loaded->Diagnostics())) {
                music.SetPosition(position);
                if (playing)
                    music.Play(0);
            }
        }
    }
    messages = loaded->Diagnostics().Log();
    records = loaded->Diagnostics().Records();
    attempted = loaded->Files().Names();
    if (!ok)
        loaded.reset(); // its textures and programs go; the current show's stay
    return loaded;
}
