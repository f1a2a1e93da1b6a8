#include "runtime/OrvSyncSession.h"

#include "base/OrvDataFolder.h"
#include "base/OrvRealTimeClock.h"
#include "runtime/IOrvPlayerControl.h"
#include "script/OrvSyncKeysWriter.h"
#include "show/OrvShow.h"

#include <cstdio>
#include <vector>

OrvSyncSession::OrvSyncSession(const std::string& address)
    : client(address), rowKnown(false), lastRow(0) {}

void OrvSyncSession::BeforeFrame(IOrvPlayerControl& player) {
    BeforeFrameAt(player, OrvRealTimeClock::Now());
}

void OrvSyncSession::BeforeFrameAt(IOrvPlayerControl& player, unsigned now) {
    client.Update(now);
    if (client.TakeNewConnection()) {
        // The editor is the keys' owner from now on: it answers each request with its keys.
        for (int track = 0; track < tracks.TrackCount(); ++track)
            tracks.Track(track).Clear();
        AskForTracks(0);
        rowKnown = false;
    }
    OrvSyncMessageReader::Message message;
    while (client.Next(message))
        Apply(player, message);
    if (player.TakeSaveRequest())
        SaveKeys(player.Show());
}

void OrvSyncSession::ShowReplaced(IOrvPlayerControl& player, OrvShow*) {
    Follow(player.Show());
}

void OrvSyncSession::Follow(OrvShow& show) {
    const OrvSyncSettings& settings = show.Sync();
    OrvSyncRows newRows(settings.Bpm(), settings.RowsPerBeat());
    if (newRows.RowLength() != rows.RowLength()) {
        rows = newRows;
        for (int track = 0; track < tracks.TrackCount(); ++track) {
            OrvSyncTrack& keys = tracks.Track(track);
            std::vector<OrvSyncTrack::Key> old = keys.Keys();
            for (const OrvSyncTrack::Key& key : old)
                keys.SetKey(key.row, rows.TimeOf(key.row), key.value, key.type);
        }
    }
    // Bound before tracks are added, which looks names up in the bound parameters: those of
    // the replaced show are still there, but go with it.
    tracks.Bind(show.Parameters());
    int known = tracks.TrackCount();
    for (const OrvSyncSettings::Name& name : settings.Names()) {
        if (!name.parameter.empty())
            tracks.AddTrack(name.parameter);
    }
    show.AddParameterSource(tracks);
    if (client.Connected())
        AskForTracks(known);
}

void OrvSyncSession::AskForTracks(int from) {
    for (int track = from; track < tracks.TrackCount(); ++track)
        client.SendGetTrack(OrvSyncTrackSource::TrackName(tracks.Parameter(track)));
}

void OrvSyncSession::Apply(IOrvPlayerControl& player,
                           const OrvSyncMessageReader::Message& message) {
    using Kind = OrvSyncMessageReader::Kind;
    switch (message.kind) {
    case Kind::SetKey:
        tracks.Track(static_cast<int>(message.track))
            .SetKey(message.row, rows.TimeOf(message.row), message.value,
                    static_cast<OrvSyncTrack::Type>(message.keyType));
        break;
    case Kind::DeleteKey:
        tracks.Track(static_cast<int>(message.track)).DeleteKey(message.row);
        break;
    case Kind::SetRow:
        player.Seek(rows.TimeOf(message.row));
        // The editor knows where it put the show: no need to tell it back.
        rowKnown = true;
        lastRow = message.row;
        break;
    case Kind::Pause:
        player.SetPaused(message.paused);
        break;
    case Kind::SaveTracks:
        SaveKeys(player.Show());
        break;
    default:
        break;
    }
}

bool OrvSyncSession::SaveKeys(OrvShow& show) {
    const std::string& file = show.Sync().BakedFile();
    if (file.empty()) {
        std::fputs("The sync keys were not saved: the header names no sync file (sync: FILE)\n",
                   stderr);
        std::fflush(stderr);
        return false;
    }
    int skipped = 0;
    std::string text = OrvSyncKeysWriter::Text(tracks, skipped);
    bool written = OrvSyncKeysWriter::Write(show.Files().Path(file), text);
    if (!written)
        std::fprintf(stderr, "The sync keys could not be written to %s\n",
                     OrvDataFolder::Shown(file).c_str());
    else if (skipped > 0)
        std::fprintf(stderr, "%d sync tracks were not saved: the show has no such parameters\n",
                     skipped);
    std::fflush(stderr);
    return written;
}

void OrvSyncSession::AfterFrame(IOrvPlayerControl& player) {
    if (!client.Connected() || player.Paused())
        return;
    unsigned row = rows.RowAt(player.Position());
    if (rowKnown && row == lastRow)
        return;
    rowKnown = true;
    lastRow = row;
    client.SendSetRow(row);
}
