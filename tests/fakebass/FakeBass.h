// A scriptable stand-in of the audio library with the same C interface,
// built as its own libbass.so for the window tests. It plays nothing: it
// records every call and fails the calls a test asks it to fail, with the
// error codes the real library would give otherwise.
#pragma once

#include <string>
#include <vector>

#include "bass.h"

namespace fakebass {

struct Script {
  DWORD version = 0x02040001;
  int deviceCount = 5;    // devices listed at positions 0 .. deviceCount-1
  int initError = 0;      // non-zero: BASS_Init fails with this code
  int createFailsAt = 0;  // the n-th creation after an init fails (1-based)
  int createError = 0;
  int playFailsAt = 0;  // playing the n-th stream created after an init fails
  int playError = 0;
};

// Forgets every stream, the output and the calls; the script back to its defaults.
void Reset();
Script& script();
// "BASS_Init(3)", "BASS_ChannelPause(0)", ... in the order they came.
const std::vector<std::string>& Calls();
void ClearCalls();
// The routines handed to BASS_StreamCreate, in order.
const std::vector<STREAMPROC*>& CreatedProcs();
// Every volume handed to BASS_SetVolume, exactly as passed.
const std::vector<float>& Volumes();

}  // namespace fakebass
