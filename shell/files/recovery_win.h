// The window's recovery snapshots: a copy of the modified document (named
// or untitled) written a moment after typing pauses, removed when the
// document is saved or discarded and when the window closes normally, and
// offered back at the next start when the program ended any other way.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "base/commands.h"
#include "document/recovery.h"
#include "document/recovery_store_win.h"
#include "shell/files/snapshot_writer_win.h"

namespace quillet {

struct EditorState;

// The main window's timer for the next snapshot (the periodic temporary
// copy has timer 0), and the message the writer posts after each write
// (wParam: whether it reached the disk).
inline constexpr UINT_PTR kSnapshotTimer = 2;
inline constexpr UINT kSnapshotWrittenMessage = WM_APP + 1;

struct RecoveryState {
  // Where this run keeps its snapshots; empty: it writes none (a test's
  // state, or a run that found no folder).
  std::u16string folder;
  // Claimed on the first snapshot (or taken over at start-up); the writer
  // writes into it, so it is made after the file and gone before it.
  std::unique_ptr<SnapshotFile> file;
  std::unique_ptr<SnapshotWriter> writer;
  SnapshotSchedule schedule;
  bool onDisk = false;         // a snapshot of this window may be on disk
  bool sessionEnding = false;  // Windows is ending: what is on disk stays
};

// Snapshots go to folder from now on.
void StartRecovery(EditorState& state, std::u16string folder);

// EN_CHANGE, and anything else that changes what a snapshot would hold.
void NoteTextChanged(EditorState& state);
// The snapshot timer: the snapshot, when one is due; the text is copied
// here and written on the writer's thread.
void OnSnapshotTimer(EditorState& state);
// The writer's report: the status bar says whether snapshots are failing.
void OnSnapshotWritten(EditorState& state, bool written);
// Writes the snapshot now, whatever the schedule says: the text is copied
// and handed to the writer. False when no snapshot file could be claimed.
bool WriteSnapshotNow(EditorState& state);

// The document was saved or discarded: its snapshot goes.
void DiscardSnapshot(EditorState& state);
// The Recover setting may have changed.
void RecoverySettingChanged(EditorState& state);
// WM_ENDSESSION: the snapshot of a modified document is written and on
// disk before this returns, and stays for the next start.
void KeepSnapshotAtSessionEnd(EditorState& state);
// WM_DESTROY: a normal close; the snapshot goes with the window.
void EndRecovery(EditorState& state);

// Start-up: the snapshots of windows that no longer run, offered with one
// question. Yes: the first into this window when it holds nothing (no
// command-line file), each further one in a new window of its own; No:
// deleted. One that cannot be read is named in a message and kept.
void OfferRecovery(EditorState& state);
// Start-up of a window another one started for one snapshot (/r).
CommandResult RecoverHandedOver(EditorState& state, const std::u16string& snapshotPath);

}  // namespace quillet
