// The audio library's interface: the functions the audio elements call for playback, recording and
// error reporting, their callback types, constants and error codes. Our implementation plays through
// and records from winmm; on Windows every function and callback uses the stdcall convention.
//
// Threads: stream and sync callbacks run on the library's playback thread, record callbacks on its
// recording thread, never on the caller's thread; each library thread runs in the program's
// floating-point mode (runtime/fpu_mode.h). Callbacks may call every function again, also while
// another thread frees the library: what is being freed then answers at once (not initialised, or
// already initialised for a second init). BASS_Free and BASS_RecordFree called on a library thread do
// not wait for that thread: it ends once the callback returns, and until it has, BASS_Init (for the
// playback thread) or BASS_RecordStart (for the recording thread) fails with AUDIO_ERROR_ALREADY.
//
// Error codes: every function sets the calling thread's error code (BASS_ErrorGetCode): 0 when it
// succeeded, one of the AUDIO_ERROR_* codes when it failed. The one exception: freeing what is not open
// does nothing and leaves the code of the previous call, so a caller that frees after a failed init
// still reads why the init failed. While output is not open (before BASS_Init, after BASS_Free) every
// stream and sync function fails with AUDIO_ERROR_NOT_INITIALISED, whatever handle it is given; with
// output open, a handle the library did not give (or that BASS_Free forgot) fails with
// AUDIO_ERROR_BAD_HANDLE.
//
// The library counts queued and recorded blocks, underruns and overruns (audio_counters.h); over winmm
// it publishes the counts for other processes to read (published_counters.h).
#pragma once
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define AUDIO_CALL __stdcall
#else
#define AUDIO_CALL
#endif

// A stream, the recording channel or a sync. 0 is never a valid handle.
using AudioHandle = uint32_t;

// The recording channel's fixed handle, valid between BASS_RecordStart and the end of recording.
constexpr AudioHandle AUDIO_RECORD_CHANNEL = 1;

// Device numbers: output device 0 and recording device -1 are the system's default devices; output
// devices 1, 2, ... and recording devices 0, 1, ... are the system's devices in their order.
constexpr int AUDIO_DEFAULT_OUTPUT = 0;
constexpr int AUDIO_DEFAULT_INPUT = -1;

// BASS_RecordStart flag: record one channel instead of two.
constexpr uint32_t AUDIO_RECORD_MONO = 2;

// BASS_ChannelSetSync type: the channel's stream has ended; the sync fires once and is then removed.
constexpr uint32_t AUDIO_SYNC_END_ONCE = 0x80000002u;

// BASS_ChannelIsActive results.
constexpr uint32_t AUDIO_STOPPED = 0;  // stream not playing (or ended), or not recording
constexpr uint32_t AUDIO_PLAYING = 1;  // stream playing, or recording running and delivering
constexpr uint32_t AUDIO_STALLED = 2;  // the recording channel only: recording runs, but no input comes

// Error codes of BASS_ErrorGetCode (the table is also in README.md, since users see these numbers).
constexpr int AUDIO_OK = 0;
constexpr int AUDIO_ERROR_UNKNOWN = -1;
constexpr int AUDIO_ERROR_NO_DEVICE = 1;         // no such device, or the driver would not open it
constexpr int AUDIO_ERROR_NOT_INITIALISED = 2;   // output or recording not initialised
constexpr int AUDIO_ERROR_ALREADY = 3;           // output or recording already initialised / started
constexpr int AUDIO_ERROR_BAD_HANDLE = 4;        // no stream, channel or sync with this handle
constexpr int AUDIO_ERROR_BAD_PARAMETER = 5;     // an argument out of range (rate, flags, type, null callback)
constexpr int AUDIO_ERROR_OUT_OF_MEMORY = 6;     // memory or a thread could not be had
constexpr int AUDIO_ERROR_FORMAT = 7;            // the device does not support the sample format or rate,
                                                 // or a stream's rate differs from the output's

// Stream callback: writes up to `length` bytes of signed 16-bit stereo samples to `buffer` and returns
// how many it wrote. Returning less than `length` ends the stream after those bytes have been played.
using AudioStreamProc = uint32_t(AUDIO_CALL*)(AudioHandle stream, void* buffer, uint32_t length, void* user);

// Record callback: receives each recorded block (16-bit samples); returns non-zero to go on recording,
// 0 to stop.
using AudioRecordProc = int32_t(AUDIO_CALL*)(const void* buffer, uint32_t length, void* user);

// Sync callback: `sync` is the sync's handle, `channel` the stream it was set on, `data` 0.
using AudioSyncProc = void(AUDIO_CALL*)(AudioHandle sync, AudioHandle channel, uint32_t data, void* user);

extern "C" {

// Opens output device `device` (0 = the default output) at `freq` samples per second, 16-bit stereo, and
// starts the playback thread; streams are pulled once BASS_Start has been called. `flags` and `win` are
// accepted and not used. Returns non-zero on success; AUDIO_ERROR_NO_DEVICE when there is no such device
// (no sound card), AUDIO_ERROR_FORMAT when it does not play that rate, AUDIO_ERROR_BAD_PARAMETER for a
// rate of 0 or above 384000, AUDIO_ERROR_ALREADY when output is open already (or being freed).
int32_t AUDIO_CALL BASS_Init(int32_t device, uint32_t freq, uint32_t flags, void* win);

// Starts (or resumes) output: playing streams are pulled from now on, also again after the device
// refused a block. Returns non-zero on success.
int32_t AUDIO_CALL BASS_Start();

// Stops recording and output, waits for the playback and recording threads to end (except the one it
// is called on), closes both devices and forgets every stream and sync. No callback runs after it
// returns (apart from the rest of the callback it is called from). BASS_Init and BASS_RecordInit work
// again afterwards. A Free under way on another thread is waited for, except from a callback. Returns
// non-zero.
int32_t AUDIO_CALL BASS_Free();

// Creates a stream of 16-bit stereo samples at `freq`, pulled through `proc`. `flags` must be 0
// (AUDIO_ERROR_BAD_PARAMETER otherwise) and `freq` the output's rate (AUDIO_ERROR_FORMAT otherwise).
// Returns the stream handle, 0 on failure. Streams live until BASS_Free.
AudioHandle AUDIO_CALL BASS_StreamCreate(uint32_t freq, uint32_t flags, AudioStreamProc proc, void* user);

// Starts playing a stream; a stream that ended, or that a refused block stopped, plays again from its
// callback. `flush` and `flags` are accepted and not used. Returns non-zero on success.
int32_t AUDIO_CALL BASS_StreamPlay(AudioHandle stream, int32_t flush, uint32_t flags);

// Sets a sync on a stream; only AUDIO_SYNC_END_ONCE is supported and `param` is not used. Returns the
// sync handle, 0 on failure.
AudioHandle AUDIO_CALL BASS_ChannelSetSync(AudioHandle channel, uint32_t type, uint64_t param, AudioSyncProc proc,
                                           void* user);

// Removes a sync that is still pending on `channel`. Returns non-zero on success; a sync that already
// fired (or never existed on that channel) gives AUDIO_ERROR_BAD_HANDLE.
int32_t AUDIO_CALL BASS_ChannelRemoveSync(AudioHandle channel, AudioHandle sync);

// For a stream: AUDIO_PLAYING from BASS_StreamPlay until its last samples have been played, else
// AUDIO_STOPPED. When the device refused a block (it was removed, say), every stream that played reads
// AUDIO_STOPPED with the device's error code for the refusal until it is played again; its end syncs
// do not fire. A handle that is no stream
// gives AUDIO_STOPPED with the code of the error table above.
// For the recording channel (handle 1), never an error: AUDIO_PLAYING while recording runs and delivers;
// AUDIO_STALLED while it runs but has had no block for a second (its input died, for instance with the
// sound server), AUDIO_PLAYING again once blocks come in; else AUDIO_STOPPED (also after the device
// refused a buffer back, which ends the recording). While stalled, BASS_ChannelGetData still returns the
// last recorded second and BASS_RecordStart still fails with AUDIO_ERROR_ALREADY, since the recording
// itself has not ended.
uint32_t AUDIO_CALL BASS_ChannelIsActive(AudioHandle channel);

// Chooses recording device `device` (-1 = the default input) after checking that it can be opened;
// BASS_RecordStart opens it. Returns non-zero on success; AUDIO_ERROR_NO_DEVICE when there is no such
// device (no sound card), AUDIO_ERROR_ALREADY when recording is initialised already (or being freed).
int32_t AUDIO_CALL BASS_RecordInit(int32_t device);

// Stops recording, waits for the recording thread to end (unless it is called on it) and closes the
// recording device. Returns non-zero.
int32_t AUDIO_CALL BASS_RecordFree();

// Starts recording 16-bit samples at `freq`, stereo or with AUDIO_RECORD_MONO one channel, handing every
// block to `proc` (which may be null) on the recording thread; when `proc` returns 0 recording ends.
// Returns AUDIO_RECORD_CHANNEL, 0 on failure: AUDIO_ERROR_NOT_INITIALISED before BASS_RecordInit (or
// while recording is being freed), AUDIO_ERROR_ALREADY while recording runs, stalled or not,
// AUDIO_ERROR_BAD_PARAMETER for a rate of 0 or above 384000 or other flags, or the device's error.
AudioHandle AUDIO_CALL BASS_RecordStart(uint32_t freq, uint32_t flags, AudioRecordProc proc, void* user);

// Copies the newest recorded frames of the recording channel (handle 1) to `buffer`: `length` is rounded
// down to whole frames (4 bytes stereo, 2 mono) and, when less has been recorded, only what there is is
// copied, oldest first. The newest second is kept, also while recording is stalled and after it ended,
// until the next BASS_RecordStart or BASS_RecordFree. Returns the number of bytes copied; -1 with
// AUDIO_ERROR_BAD_HANDLE for any other handle or when no recording was started since the last
// BASS_RecordInit (or ever), and with AUDIO_ERROR_BAD_PARAMETER for a null buffer.
int32_t AUDIO_CALL BASS_ChannelGetData(AudioHandle channel, void* buffer, uint32_t length);

// The calling thread's error code of its last library call (see the AUDIO_ERROR_* table above).
int32_t AUDIO_CALL BASS_ErrorGetCode();
}
