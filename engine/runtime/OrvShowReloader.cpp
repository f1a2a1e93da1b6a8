#include "runtime/OrvShowReloader.h"

#include "base/IOrvLoadingObserver.h"
#include "base/OrvException.h"
#include "show/OrvShow.h"
#include "base/OrvSystemInfo.h"
#include "base/OrvErrorLog.h"

namespace {
class QuietObserver : public IOrvLoadingObserver {
public:
    void LoadingProgressed() override {}
};
} // namespace

std::unique_ptr<OrvShow> OrvShowReloader::Reload(OrvShow& current,
                                                 const std::set<std::string>& changed,
                                                 unsigned position, bool playing) {
    OrvErrorLog::Mark mark = OrvErrorLog::Here();
    std::unique_ptr<OrvShow> loaded(new OrvShow());
    bool ok = loaded->ReadScript();
    if (ok) {
        try {
            QuietObserver quiet;
            loaded->Load(quiet, false);
        } catch (const OrvException& error) {
            ReportError(1, error.Message());
            ok = false;
        }
    }
    messages = OrvErrorLog::Since(mark);
    OrvErrorLog::RollBack(mark);
    if (!ok) {
        loaded.reset(); // its textures and programs go; the current show's stay
        return nullptr;
    }

    std::string music = loaded->MusicName();
    bool sameMusic = music == current.MusicName() && changed.count(music) == 0;
    if (sameMusic && current.Music().IsLoaded()) {
        loaded->AdoptMusic(current);
        current.Unload();
    } else {
        current.Unload(); // closes the sound device the new music needs
        OrvErrorLog::Mark musicMark = OrvErrorLog::Here();
        if (!music.empty() &&
            loaded->Music().Load(OrvSystemInfo::Instance()->DataFolder(music.c_str()))) {
            loaded->Music().SetPosition(position);
            if (playing)
                loaded->Music().Play(0);
        }
        messages += OrvErrorLog::Since(musicMark);
        OrvErrorLog::RollBack(musicMark);
    }
    return loaded;
}
