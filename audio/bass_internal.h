/* Hooks of the audio library for its own tests and benchmarks; not part of
 * the interface programs use.
 *
 * An offline output is an initialised output without a device: nothing
 * renders on its own, and BASS_OfflineRender renders through the mixer on the
 * calling thread, which then plays the part of the audio thread (the same
 * real-time rules apply to the fill routines it calls). Everything else
 * (streams, volume, BASS_Free) works as with a device.
 */
#ifndef SINEFOLD_BASS_INTERNAL_H
#define SINEFOLD_BASS_INTERNAL_H

#include "bass.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Initialises an offline output at `freq` frames per second. Fails like
 * BASS_Init when the output is already initialised or `freq` is outside
 * BASS_FREQ_MIN..BASS_FREQ_MAX. */
BASSAPI BOOL BASS_OfflineInit(DWORD freq) BASS_NOEXCEPT;

/* Mixes `frames` stereo frames of every playing stream into `out`. Takes no
 * lock and allocates nothing. Fails with BASS_ERROR_INIT unless the output is
 * offline. At most one thread may render at a time. */
BASSAPI BOOL BASS_OfflineRender(int16_t *out, DWORD frames) BASS_NOEXCEPT;

/* Frames per device callback that the device granted; 0 without a device. */
BASSAPI DWORD BASS_OutputBufferFrames(void) BASS_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif /* SINEFOLD_BASS_INTERNAL_H */
