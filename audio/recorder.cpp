// TZvBASS_Record: recording into a wave file or a memory stream.
#include "audio/recorder.h"

#include "audio/error_check.h"
#include "audio/wave_file.h"
#include "toolkit/stream.h"

TZvBASS_Record::~TZvBASS_Record() {
  if (recording_) BASS_RecordFree();
  if (Target) Target->Free();
}

void TZvBASS_Record::doInit(TData&, uint16_t) {
  if (BASS_RecordInit(AUDIO_DEFAULT_INPUT) != 0) return;
  BASS_RecordFree();
  CheckLibraryError(onError);
}

void TZvBASS_Record::doStart(TData& data, uint16_t) {
  const auto rate = static_cast<uint16_t>(ReadInteger(data, FreqLink, Freq));
  const auto channels =
      static_cast<uint16_t>(ReadInteger(data, ChannelsLink, static_cast<int32_t>(static_cast<uint32_t>(Channels) + 1)));
  const RcString name = ReadString(data, FileNameLink, FileName);
  if (BASS_ChannelIsActive(AUDIO_RECORD_CHANNEL) != AUDIO_STOPPED) return;

  // Recording does not run, so no callback holds the earlier target: close it before making the new one
  // (an earlier file left open would refuse to be opened for writing again).
  if (Target) Target->Free();
  memoryMode_ = InMemory;
  if (memoryMode_) {
    Target = NewMemoryStream();
  } else {
    Target = NewFileStream(name.c_str());
    const TWaveHeader header = WaveHeader(rate, channels);
    Target->Write(header.data(), header.size());
  }
  const uint32_t flags = channels == 1 ? AUDIO_RECORD_MONO : 0;
  recording_ = BASS_RecordStart(rate, flags, &Recorded, this) != 0;
  if (!recording_) CheckLibraryError(onError);
}

int32_t AUDIO_CALL TZvBASS_Record::Recorded(const void* buffer, uint32_t length, void* user) {
  auto* self = static_cast<TZvBASS_Record*>(user);
  TStream& target = *self->Target;
  if (self->memoryMode_) {
    target.SetSize(0);
    target.Write(buffer, length);
    target.SetPosition(0);
    FireStream(self->onData, &target);
  } else {
    target.Write(buffer, length);
    UpdateWaveSizes(target);
  }
  return 1;
}
