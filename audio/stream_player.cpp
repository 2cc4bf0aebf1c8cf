// TZvBASS_StreamPlayer: starting a stream and watching for its end.
#include "audio/stream_player.h"

#include "audio/error_check.h"

void TZvBASS_StreamPlayer::doPlay(TData& data, uint16_t) {
  const auto stream = static_cast<AudioHandle>(ReadInteger(data, Stream, 0));
  BASS_StreamPlay(stream, 0, 0);
  // Only a sync kept on this same stream is removed; one set on an earlier stream stays pending there.
  if (SyncHandle != 0) BASS_ChannelRemoveSync(stream, SyncHandle);
  SyncHandle = BASS_ChannelSetSync(stream, AUDIO_SYNC_END_ONCE, 0, &StreamEnded, this);
  CheckLibraryError(onError);
}

void AUDIO_CALL TZvBASS_StreamPlayer::StreamEnded(AudioHandle, AudioHandle, uint32_t, void* user) {
  FireNull(static_cast<TZvBASS_StreamPlayer*>(user)->onEnd);
}
