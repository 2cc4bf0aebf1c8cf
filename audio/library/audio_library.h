// The audio library's interface: the functions the audio elements call for playback, recording and
// error reporting, their callback types, constants and error codes. Our implementation plays through
// and records from winmm; on Windows every function and callback uses the stdcall convention.
//
// Threads: stream and sync callbacks run on the library's playback thread, record callbacks on its
// recording thread, never on the caller's thread. Callbacks may call the library again, except
// BASS_Free and BASS_RecordFree (which wait for those threads). Every function sets the calling thread's
// error code (BASS_ErrorGetCode): 0 when it succeeded, one of the AUDIO_ERROR_* codes when it failed.
// The one exception: freeing what is not open does nothing and leaves the code of the previous call, so
// a caller that frees after a failed init still reads why the init failed.
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
constexpr int AUDIO_ERROR_FORMAT = 7;            // the device does not support the sample format or rate

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
// (no sound card), AUDIO_ERROR_ALREADY when output is open already.
int32_t AUDIO_CALL BASS_Init(int32_t device, uint32_t freq, uint32_t flags, void* win);

// Starts (or resumes) output: playing streams are pulled from now on. Returns non-zero on success.
int32_t AUDIO_CALL BASS_Start();

// Stops recording and output, joins the playback and recording threads, closes both devices and
// forgets every stream and sync. No callback runs after it returns. BASS_Init and BASS_RecordInit work
// again afterwards. Returns non-zero.
int32_t AUDIO_CALL BASS_Free();

// Creates a stream of 16-bit stereo samples at `freq`, pulled through `proc`. `flags` must be 0
// (AUDIO_ERROR_BAD_PARAMETER otherwise) and `freq` the output's rate (AUDIO_ERROR_FORMAT otherwise).
// Returns the stream handle, 0 on failure. Streams live until BASS_Free.
AudioHandle AUDIO_CALL BASS_StreamCreate(uint32_t freq, uint32_t flags, AudioStreamProc proc, void* user);

// Starts playing a stream; a stream that ended plays again from its callback. `flush` and `flags` are
// accepted and not used. Returns non-zero on success.
int32_t AUDIO_CALL BASS_StreamPlay(AudioHandle stream, int32_t flush, uint32_t flags);

// Sets a sync on a stream; only AUDIO_SYNC_END_ONCE is supported and `param` is not used. Returns the
// sync handle, 0 on failure.
AudioHandle AUDIO_CALL BASS_ChannelSetSync(AudioHandle channel, uint32_t type, uint64_t param, AudioSyncProc proc,
                                           void* user);

// Removes a sync that is still pending on `channel`. Returns non-zero on success; a sync that already
// fired (or never existed on that channel) gives AUDIO_ERROR_BAD_HANDLE.
int32_t AUDIO_CALL BASS_ChannelRemoveSync(AudioHandle channel, AudioHandle sync);

// For a stream: AUDIO_PLAYING from BASS_StreamPlay until its last samples have been played, else
// AUDIO_STOPPED; an unknown handle gives AUDIO_STOPPED with AUDIO_ERROR_BAD_HANDLE. For the recording
// channel (handle 1): AUDIO_PLAYING while recording runs and delivers, else AUDIO_STOPPED, never an error.
// A recording that has had no block for a second (its input died, for instance with the sound server)
// reads AUDIO_STOPPED while it stays stalled and AUDIO_PLAYING again once blocks come in; meanwhile
// BASS_ChannelGetData still returns the last recorded second and BASS_RecordStart still fails with
// AUDIO_ERROR_ALREADY, since the recording itself has not ended.
uint32_t AUDIO_CALL BASS_ChannelIsActive(AudioHandle channel);

// Chooses recording device `device` (-1 = the default input) after checking that it can be opened;
// BASS_RecordStart opens it. Returns non-zero on success; AUDIO_ERROR_NO_DEVICE when there is no such
// device (no sound card), AUDIO_ERROR_ALREADY when recording is initialised already.
int32_t AUDIO_CALL BASS_RecordInit(int32_t device);

// Stops recording, joins the recording thread and closes the recording device. Returns non-zero.
int32_t AUDIO_CALL BASS_RecordFree();

// Starts recording 16-bit samples at `freq`, stereo or with AUDIO_RECORD_MONO one channel, handing every
// block to `proc` (which may be null) on the recording thread; when `proc` returns 0 recording ends.
// Returns AUDIO_RECORD_CHANNEL, 0 on failure (AUDIO_ERROR_ALREADY while recording runs, stalled or not).
AudioHandle AUDIO_CALL BASS_RecordStart(uint32_t freq, uint32_t flags, AudioRecordProc proc, void* user);

// Copies the newest recorded frames of the recording channel (handle 1) to `buffer`: `length` is rounded
// down to whole frames (4 bytes stereo, 2 mono) and, when less has been recorded, only what there is is
// copied, oldest first. The newest second is kept, also while recording is stalled and after it ended,
// until the next BASS_RecordStart or BASS_RecordFree. Returns the number of bytes copied; -1 with
// AUDIO_ERROR_BAD_HANDLE for any other handle or when no recording was started since BASS_RecordInit,
// and with AUDIO_ERROR_BAD_PARAMETER for a null buffer.
int32_t AUDIO_CALL BASS_ChannelGetData(AudioHandle channel, void* buffer, uint32_t length);

// The calling thread's error code of its last library call (see the AUDIO_ERROR_* table above).
int32_t AUDIO_CALL BASS_ErrorGetCode();
}
