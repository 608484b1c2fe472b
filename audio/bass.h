/* Sinefold's audio library: user streams mixed in software onto one output
 * device.
 *
 * Threads. Every function here is called from one control thread at a time
 * (the program's window thread). The library calls each playing stream's fill
 * routine on an audio thread of its own, from the moment the stream plays
 * until it is paused, stopped or the library is freed; BASS_Free returns only
 * once no fill routine can run any more.
 *
 * Fill routines are real-time code: they must not allocate, lock, make system
 * calls or log, and must return quickly. They fill the whole buffer with
 * interleaved signed 16-bit little-endian samples and return its length.
 *
 * Errors. A function that fails returns 0 (FALSE or a zero handle), changes
 * nothing, and sets the calling thread's last error, which BASS_ErrorGetCode
 * reads. A function that succeeds sets the last error to BASS_OK. The one
 * exception is BASS_SetVolume without an output, which fails but keeps the
 * volume for the next output. No function throws: a C++ caller sees them
 * noexcept, and running out of memory or threads is an error code like any
 * other.
 */
#ifndef SINEFOLD_BASS_H
#define SINEFOLD_BASS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(BASS_BUILDING_LIBRARY)
#define BASSAPI __attribute__((visibility("default")))
#else
#define BASSAPI
#endif

#ifdef __cplusplus
#define BASS_NOEXCEPT noexcept
#else
#define BASS_NOEXCEPT
#endif

typedef uint32_t DWORD;
typedef int BOOL;      /* 0 is false, anything else true */
typedef DWORD HSTREAM; /* 0 is never a valid handle */

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

/* The version's high 16 bits are the interface version, 0x0204. */
#define BASS_INTERFACE_VERSION 0x0204u

/* Device numbers. Position 0 is "No sound": a clock-paced output that runs
 * the streams at real-time speed and discards the sound, so the library works
 * on a machine without audio hardware. Position 1 is "Default", the system's
 * default output. The system's output devices follow from position 2 on.
 * BASS_Init also takes -1 for the default output. */
#define BASS_DEVICE_NOSOUND 0
#define BASS_DEVICE_DEFAULT 1

/* The output rates BASS_Init accepts, in frames per second: from the lowest
 * rate in common use (telephony) to the highest a sound server takes. */
#define BASS_FREQ_MIN 8000u
#define BASS_FREQ_MAX 384000u

/* The real-time priority (SCHED_FIFO) of the output's thread where the system
 * grants real-time scheduling to the process: below every thread of a sound
 * server (PulseAudio's run at 5, PipeWire's at 20 and above), so that a
 * client never holds up the server it feeds. Where it is refused the thread
 * keeps normal scheduling. */
#define BASS_THREAD_PRIORITY 4

/* Error codes, one for each kind of failure. */
enum {
  BASS_OK = 0,
  BASS_ERROR_DEVICE = 1,    /* no device at that position */
  BASS_ERROR_OPEN = 2,      /* the device exists but the sound system could not open it */
  BASS_ERROR_INIT = 3,      /* the output is not initialised */
  BASS_ERROR_ALREADY = 4,   /* the output is already initialised */
  BASS_ERROR_HANDLE = 5,    /* 0, unknown, or freed by BASS_Free */
  BASS_ERROR_PARAM = 6,     /* a null pointer, or a value out of its range */
  BASS_ERROR_FORMAT = 7,    /* a sample format the output cannot play */
  BASS_ERROR_SLOTS = 8,     /* every stream slot is taken until BASS_Free */
  BASS_ERROR_FREQ = 9,      /* an output rate outside BASS_FREQ_MIN..BASS_FREQ_MAX */
  BASS_ERROR_RESOURCES = 10 /* the library ran out of memory or could not start a thread */
};

/* What BASS_GetDeviceInfo tells of a device. */
typedef struct BASS_DEVICEINFO {
  const char *name; /* UTF-8, owned by the library; valid until the next
                       enumeration from position 0 */
} BASS_DEVICEINFO;

/* A stream's fill routine; see the real-time rules above. */
typedef DWORD(STREAMPROC)(HSTREAM handle, void *buffer, DWORD length, void *user);

BASSAPI DWORD BASS_GetVersion(void) BASS_NOEXCEPT;

/* Describes the device at `device` (0, 1, 2, ...). Fails with
 * BASS_ERROR_DEVICE past the last one, which ends an enumeration. Asking for
 * position 0 looks the system's devices up afresh: while no device is open,
 * that includes a sound server started since the last look.
 * The other positions describe the list read last, so that positions stay
 * what they were for the program that read it. */
BASSAPI BOOL BASS_GetDeviceInfo(DWORD device, BASS_DEVICEINFO *info) BASS_NOEXCEPT;

/* Opens `device` (-1 for the default output) at `freq` frames per second,
 * 16-bit stereo. `flags` and `clsid` are reserved (pass 0 and NULL);
 * `window` is the caller's main window, unused on this platform. The output
 * asks the device for a buffer of 256 frames and the sound server for a
 * 20 ms queue (see docs/decisions.md for how they were chosen) and runs
 * its thread with
 * real-time scheduling at BASS_THREAD_PRIORITY where the system grants it.
 * It plays at the volume last handed to BASS_SetVolume. A rate outside
 * BASS_FREQ_MIN..BASS_FREQ_MAX fails with BASS_ERROR_FREQ. When a system
 * device cannot be opened while the sound system runs on a fallback driver
 * (no sound server was reachable when it started), its drivers are looked
 * up afresh and the device tried once more, so a sound server that has
 * started since is found. When a system device goes away while it plays
 * (its sink removed), the output reopens on the system's default output
 * with the same streams and volume, within a fraction of a second, and
 * while there is none tries again about once a second; nothing is asked
 * of the program, and BASS_Free ends it as usual. */
BASSAPI BOOL BASS_Init(int device, DWORD freq, DWORD flags, void *window, void *clsid) BASS_NOEXCEPT;

/* Stops the output, then releases every stream and the device. When it
 * returns, no fill routine runs and none will run again. It does not wait
 * for a device buffer, whatever the rate: a system device is closed in the
 * background (the sound system takes up to two buffers for that), and the
 * next BASS_Init or BASS_GetDeviceInfo waits until it is closed. */
BASSAPI BOOL BASS_Free(void) BASS_NOEXCEPT;

/* Creates a paused stream of 1 or 2 channels at the output's rate, filled by
 * `proc` with `user` as its last argument. `flags` is reserved (pass 0). */
BASSAPI HSTREAM BASS_StreamCreate(DWORD freq, DWORD chans, DWORD flags, STREAMPROC *proc, void *user) BASS_NOEXCEPT;

/* Starts or resumes a stream; `restart` has no effect, as streams hold no
 * buffered sound. Playing an already playing stream succeeds. Streams
 * created together start on the same frame: a stream's first start waits
 * until every stream created with it has been started, or for 100 ms of
 * output at most. */
BASSAPI BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) BASS_NOEXCEPT;
/* Pause and stop both halt a stream's fill routine until it plays again.
 * They do not wait for the audio thread: a call of the routine that was under
 * way, or about to begin, may still finish after they return; no call starts
 * after that one. Only BASS_Free waits until no routine runs. */
BASSAPI BOOL BASS_ChannelPause(DWORD handle) BASS_NOEXCEPT;
BASSAPI BOOL BASS_ChannelStop(DWORD handle) BASS_NOEXCEPT;

/* Sets the master volume, 0.0 to 1.0, applied to the mix of all streams; the
 * mix is clamped to full scale, never wrapped. The volume belongs to the
 * library, not to an output: it is kept across BASS_Free, and an output that
 * BASS_Init or BASS_OfflineInit opens plays at the volume last set, whatever
 * happened in between. Without an output the call fails with BASS_ERROR_INIT
 * and still keeps the value (the one exception to "a failed call changes
 * nothing"), so a volume set while no device could be opened applies once one
 * is. A value outside 0.0..1.0, or NaN, fails with BASS_ERROR_PARAM and
 * changes nothing. Before any call the volume is 1.0. */
BASSAPI BOOL BASS_SetVolume(float volume) BASS_NOEXCEPT;

/* The last error of the calling thread. */
BASSAPI int BASS_ErrorGetCode(void) BASS_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif /* SINEFOLD_BASS_H */
