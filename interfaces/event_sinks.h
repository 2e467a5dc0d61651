// The callback tables the engines and the core object's services call back
// on. Plain tables without IUnknown: the UI-system object carries each as a
// sub-object and nobody deletes through them. Operation numbers in the
// comments are those of the engines' tables; a table whose operation 0 was a
// destructor starts here at operation 1. Operations whose arguments the
// engines define take two pointer-wide values until those engines exist.
#pragma once

#include <cstdint>

#include "interfaces/discrunner.h"
#include "interfaces/grabber.h"
#include "interfaces/wmhost/wmplayer.h"

using SinkArg = std::intptr_t;

// The slide-show renderer's callbacks, on the thread that owns the show's window.
class ISlideShowEventSink {
 public:
  virtual int OnTick() = 0;                        // 0: every 500 ms while bound to a window
  virtual int OnShowEnded() = 0;                   // 1: the show completed or was aborted
  virtual int OnForeground(std::int32_t flag) = 0;  // 2
  virtual int OnWindowFlag(std::int32_t flag) = 0;  // 3
  virtual int OnRewindAtStart() = 0;               // 4: rewind stepping reached the start

 protected:
  ~ISlideShowEventSink() = default;
};

// The audio service reports a volume or mute change made outside.
class ICoreAudioEventSink {
 public:
  virtual int OnMixerChange() = 0;  // 1

 protected:
  ~ICoreAudioEventSink() = default;
};

// The TV engine's events, called on the thread that created the engine.
// Operations that hand over "the engine" pass the engine itself.
class IGrabberEventSink {
 public:
  virtual int OnDiskFull() = 0;                                   // 0: 50 MB or less free while recording
  virtual int OnSearchFinished(IGrabber* engine) = 0;             // 1
  virtual int OnSearchPercent(int percent) = 0;                   // 2
  virtual int OnRecordingEnded(IGrabber* engine) = 0;             // 3
  virtual int OnPictureReady(int code) = 0;                       // 4: snapshot written
  virtual int OnSignalLost() = 0;                                 // 5
  virtual int OnScanStep(int position, int channel, int status) = 0;  // 6
  // The channel's name and its wall picture (valid for the call).
  virtual int OnPreviewStep(int position, int channel, const char* name, const TvPicture* picture) = 0;  // 7
  // isChannel 1: channel a is tuned; 0: a tuning notice (code a, value b).
  virtual int OnTuning(int a, int b, int isChannel) = 0;          // 8
  virtual int OnTeletextPageChanged() = 0;                        // 9
  virtual int OnTimeShiftNoSpace() = 0;                           // 10
  virtual int OnDiscNotice(int value) = 0;                        // 11
  virtual int OnDeviceLost() = 0;                                 // 12
  virtual int OnProgressValue(int value) = 0;                     // 13
  virtual int OnProgressEnd() = 0;                                // 14
  virtual int OnBurnPreparation(int event) = 0;                   // 15
  virtual int OnSourceReopened(IGrabber* engine) = 0;             // 16
  virtual int OnSourceNotice(int value) = 0;                      // 17
  virtual int OnRecorderNotice(int code, int value) = 0;          // 18
  virtual int OnSourceError(int code) = 0;                        // 19
  virtual int OnSourceRestarted() = 0;                            // 20
  virtual int OnReplayAtLive() = 0;                               // 21

 protected:
  ~IGrabberEventSink() = default;
};

// The media player host's events: IWMPlayerEventSink in
// interfaces/wmhost/wmplayer.h.

class IDvGrabEventSink {
 public:
  virtual int Notify0(SinkArg a, SinkArg b) = 0;
  virtual int Notify1(SinkArg a, SinkArg b) = 0;
  virtual int Notify2(SinkArg a, SinkArg b) = 0;
  virtual int Notify3(SinkArg a, SinkArg b) = 0;
  virtual int Notify4(SinkArg a, SinkArg b) = 0;
  virtual int Notify5(SinkArg a, SinkArg b) = 0;
  virtual int Notify6(SinkArg a, SinkArg b) = 0;
  virtual int Notify7(SinkArg a, SinkArg b) = 0;
  virtual int Notify8(SinkArg a, SinkArg b) = 0;
  virtual int Notify9(SinkArg a, SinkArg b) = 0;
  virtual int Notify10(SinkArg a, SinkArg b) = 0;
  virtual int Notify11(SinkArg a, SinkArg b) = 0;
  virtual int Notify12(SinkArg a, SinkArg b) = 0;

 protected:
  ~IDvGrabEventSink() = default;
};

// The DVD engine's events: IDvdEventSink in interfaces/discrunner.h.

// A ripper's progress: the fraction of the current track (a 0 result ends
// the track), the end of a track and an abort.
class IRipperEventSink {
 public:
  virtual int OnProgress(float fraction) = 0;  // 1
  virtual int OnFinished() = 0;                // 2
  virtual int OnAborted() = 0;                 // 3

 protected:
  ~IRipperEventSink() = default;
};

class IAuthoringEventSink {
 public:
  virtual int Notify0(SinkArg a, SinkArg b) = 0;
  virtual int Notify1(SinkArg a, SinkArg b) = 0;
  virtual int Notify2(SinkArg a, SinkArg b) = 0;
  virtual int Notify3(SinkArg a, SinkArg b) = 0;
  virtual int Notify4(SinkArg a, SinkArg b) = 0;
  virtual int Notify5(SinkArg a, SinkArg b) = 0;
  virtual int Notify6(SinkArg a, SinkArg b) = 0;
  virtual int Notify7(SinkArg a, SinkArg b) = 0;
  virtual int Notify8(SinkArg a, SinkArg b) = 0;
  virtual int Notify9(SinkArg a, SinkArg b) = 0;
  virtual int Notify10(SinkArg a, SinkArg b) = 0;
  virtual int Notify11(SinkArg a, SinkArg b) = 0;
  virtual int Notify12(SinkArg a, SinkArg b) = 0;
  virtual int Notify13(SinkArg a, SinkArg b) = 0;
  virtual int Notify14(SinkArg a, SinkArg b) = 0;
  virtual int Notify15(SinkArg a, SinkArg b) = 0;

 protected:
  ~IAuthoringEventSink() = default;
};

// What the radio engine reports. Text arguments are valid for the call only.
// The engine calls these on the thread that created it.
class IRadioEventSink {
 public:
  virtual int OnSearchStarted() = 0;                        // 0
  virtual int OnStationFound(int frequency) = 0;            // 1: displayed value x 10^6
  virtual int OnSearchEnded() = 0;                          // 2: also after a stopped search
  virtual int OnRecordingStarted() = 0;                     // 3
  virtual int OnRecordingStopped() = 0;                     // 4
  virtual int Reserved5() = 0;                              // 5: returns 0
  virtual int OnRadioText(const char* text) = 0;            // 6: RDS radio text ("" after a retune)
  virtual int OnProgramType(const char* name) = 0;          // 7: RDS programme-type name
  virtual int OnClockTime(const char* text) = 0;            // 8: "%i.%i.%02i %i:%02i" local time
  virtual int OnStationName(const char* name) = 0;          // 9: RDS programme service name

 protected:
  ~IRadioEventSink() = default;
};

// Special keys of the remote control, from the core object's key input.
class IKeyDispatchSink {
 public:
  // Returns 1 for the keys it takes as its own (7, 8 and the transport keys).
  virtual int HotkeyDispatch(std::intptr_t window, std::intptr_t code, std::intptr_t extra) = 0;  // 1

 protected:
  ~IKeyDispatchSink() = default;
};

// The drive enumerator's media-insertion notice (posted to the UI thread).
class IPhotoNotifySink {
 public:
  virtual int OnMediaNotice(std::intptr_t item) = 0;

 protected:
  ~IPhotoNotifySink() = default;
};

// Music status flags cleared by the media library.
class IStatusSink {
 public:
  virtual int ClearFirstFlag() = 0;   // 0
  virtual int ClearSecondFlag() = 0;  // 1

 protected:
  ~IStatusSink() = default;
};
