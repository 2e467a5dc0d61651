// CUISystem: the system core's one COM object. The program creates it, hands
// it its callbacks, starts it, sends it every action name and system
// message, and stops it before releasing it. It owns the configuration root,
// the desktop state, the schedule list and its timer, the action table, the
// hidden window and the reference to the outside core object, and carries
// the callback tables the engines and services call back on.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "corebridge/core/action_table.h"
#include "corebridge/core/desktop_state.h"
#include "corebridge/core/module_states.h"
#include "corebridge/core/schedule_item.h"
#include "interfaces/authoring.h"
#include "interfaces/core_object.h"
#include "interfaces/discrunner.h"
#include "interfaces/event_sinks.h"
#include "interfaces/image_acquire.h"
#include "interfaces/page_events.h"
#include "interfaces/ui_system.h"
#include "interfaces/wmhost/wmplayer.h"
#include "platform/com/com_ptr.h"
#include "platform/com/object.h"
#include "platform/sys/event_sources.h"
#include "platform/sys/system_events.h"

class CConfig;
class CRadioConfig;
class CMovieConfig;
class CScheduleList;
class CScheduleTimer;
class CHiddenWindow;
class CAudioProfileList;
class CDisplayProbe;
class ILocalClock;

// What the object takes from its surroundings; tests replace each part.
struct CUISystemServices {
  // Creates the core object; defaults to CoCreateInstance of its class.
  std::function<plat::HRESULT(plat::IUnknown** out)> createCoreObject;
  std::shared_ptr<plat::ProcessorPowerScheme> powerScheme;
  std::shared_ptr<plat::SleepInhibitor> sleepInhibitor;
  // The live notice sources, started with the object; none in tests.
  std::shared_ptr<plat::SystemEventSource> eventSources;
  std::shared_ptr<IDesktopBackend> desktop;
  const ILocalClock* clock = nullptr;  // schedule times; the machine's when null
  // Free bytes of the file system holding a folder; false when unknown.
  // Defaults to GetDiskFreeSpaceExA.
  std::function<bool(const std::string& folder, std::uint64_t& freeBytes)> freeSpace;
  // The user's country calling code (1, 81, ...); defaults to the locale's.
  std::function<int()> countryCode;
  // Shows a message box with an OK button over the frame; defaults to the
  // platform's modal box.
  std::function<void(const std::string& text)> messageBox;
  int scheduleTimerPeriodMs = 1000;
  // Begins the media framework's start on a worker and calls `done` there
  // when it is over, so that neither the deferred DVD query nor a module's
  // entry waits for it on the UI thread; none in tests.
  std::function<std::jthread(std::function<void()> done)> startMediaInBackground;
  // How long after the start-up that start (and the deferred DVD query)
  // waits. The program waits only for the start-up's own messages, so that
  // GStreamer is ready before a user's first key can ask for Radio or a film.
  unsigned mediaStartDelayMs = 300;
};

struct MusicRecord;
struct MusicWorkerState;
class CUISystem : public IUISystem {
 public:
  using Interfaces = plat::InterfaceList<IUISystem>;

  explicit CUISystem(CUISystemServices services = {});
  virtual ~CUISystem();
  CUISystem(const CUISystem&) = delete;
  CUISystem& operator=(const CUISystem&) = delete;

  // The live object of the process (null when there is none).
  static CUISystem* Instance();

  // --- IUISystem ------------------------------------------------------------
  plat::HRESULT Start() override;
  plat::HRESULT Stop() override;
  plat::HRESULT SetHomePageCallback(IHomePageEvents* callback) override;
  plat::HRESULT SetUICallback(IFrameServices* services) override;
  plat::HRESULT SetMoviePageCallback(IMoviePageEvents* callback) override;
  plat::HRESULT SetPhotoPageCallback(IPhotoPageEvents* callback) override;
  plat::HRESULT SetMusicPageCallback(IMusicPageEvents* callback) override;
  plat::HRESULT SetRadioPageCallback(IRadioPageEvents* callback) override;
  plat::HRESULT SetVideoPageCallback(IVideoPageEvents* callback) override;
  plat::HRESULT SetRecordPageCallback(IRecordPageEvents* callback) override;
  plat::HRESULT SetTVPageCallback(ITvPageEvents* callback) override;
  plat::HRESULT SetAuthoringPageCallback(IAuthoringPageEvents* callback) override;
  plat::HRESULT SetModule9PageCallback(IModule9PageEvents* callback) override;
  plat::HRESULT GetConfig(CConfig** config) override;
  plat::HRESULT ExecuteAction(const char* name, std::intptr_t a, std::intptr_t b) override;
  plat::HRESULT GetScheduleList(CScheduleList** list) override;
  plat::HRESULT GetDriveInfo(int drive, int* kind) override;
  plat::HRESULT DrawPhotoThumbnail(std::int32_t index, plat::HDC hdc, std::int32_t left, std::int32_t top,
                                   std::int32_t right, std::int32_t bottom, std::int32_t direct,
                                   std::int32_t keepAspect) override;
  plat::HRESULT RenderPhotoToBitmap(std::int32_t index, plat::HDC hdc, std::int32_t left, std::int32_t top,
                                    std::int32_t right, std::int32_t bottom, plat::HBITMAP background) override;
  plat::HRESULT DrawFolderPreview(std::int32_t index, plat::HDC hdc, std::int32_t bitmapLeft, std::int32_t bitmapTop,
                                  std::int32_t bitmapRight, std::int32_t bitmapBottom, std::int32_t gridLeft,
                                  std::int32_t gridTop, std::int32_t gridRight, std::int32_t gridBottom,
                                  std::int32_t rows, std::int32_t columns, std::int32_t percent,
                                  plat::HBITMAP background) override;
  plat::HRESULT DrawImageFile(const char* path, plat::HDC hdc, std::int32_t left, std::int32_t top,
                              std::int32_t right, std::int32_t bottom, std::int32_t direct) override;
  plat::HRESULT OnSystemMessage(plat::HWND window, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) override;
  plat::HRESULT GetPlaybackTimes(double* first, double* second) override;
  plat::HRESULT DispatchHotkey(std::intptr_t window, std::intptr_t code, std::intptr_t extra) override;

  // --- The action table --------------------------------------------------------
  void BuildActionTable();
  const CActionTable& Actions() const { return m_actions; }
  int StopActiveModule();

  // --- Core object access (null-safe: nothing after Stop) ---------------------
  template <class Interface>
  plat::ComPtr<Interface> CoreService() const {
    plat::ComPtr<Interface> result;
    if (m_pCoreObject) m_pCoreObject->QueryInterface(plat::IidOf<Interface>(), reinterpret_cast<void**>(result.ReleaseAndGetAddressOf()));
    return result;
  }
  bool HasCoreObject() const { return static_cast<bool>(m_pCoreObject); }
  plat::HRESULT QueryCore(const plat::IID& iid, plat::IUnknown** out) const;

  // --- Media folders and drive lists -------------------------------------------
  int CreateMediaFolders();
  int BuildDriveLists();

  // --- Hidden window -------------------------------------------------------------
  int HiddenWindowCreate(int create);
  CHiddenWindow* HiddenWindow() const { return m_pHiddenWindow.get(); }
  int StartRecordMonitorTimer(plat::UINT periodMs);
  int StopRecordMonitorTimer();
  int OnPowerStatusChange();
  int SetScreenRatioMode(int flag);
  // Screen ratio and picture scale of a display size; redraws the active page.
  void ApplyDisplaySize(int width, int height, bool redraw);
  // Work of the hidden window, on the UI thread.
  plat::LRESULT OnDeviceChangeOnUiThread(int event, int drive);
  int PowerSourceCheck();
  void OnBatteryTimer(plat::UINT_PTR id);
  void OnRecordMonitorTimer();
  void OnCdDriveTimer();
  void OnRemoteKeyPaging(plat::WPARAM wParam, plat::LPARAM lParam);
  int MoviePowerStep(bool battery);
  int SwitchProcessorScheme();
  int RestoreProcessorScheme();
  void RestoreSchemeAtStop();
  void StopPlaybackForSuspend(bool criticalBattery);

  // --- Remote control, keys, volume and status texts ---------------------------
  int PostHotkeyControllerMode(int mode, int lParam, const char* text);
  int QueryBrightness(int& level);
  int SetBrightness(int level);
  int HotkeyDispatch(std::intptr_t window, std::intptr_t code, std::intptr_t extra);
  // Fills the list with one profile per audio device; 0 without the audio
  // service (the list is left as it is).
  int EnumMixerDevices(CAudioProfileList& list);
  int SetNamedItemState(const std::string& text, int flag);
  int ShowNamedItem(const std::string& key);
  int ShowNamedText(const std::string& text);
  int LookupUIStringWide(const std::u16string& key);
  int ShowStatusText(int speed);
  // The speed text of a speed in 1/10000 of normal speed ("PAUSE" for 0).
  std::string SpeedText(int speed);
  int SetVolumeQuiet(int mute, float volume);
  // Mutes or unmutes the master output without any notice on screen.
  int SetCoreMute(int mute);
  int ReadVolume(int& mute, float& volume);

  // --- Schedule timer tick (on the UI thread) ----------------------------------
  void ScheduleTick();

  // --- Module states and callbacks ---------------------------------------------
  CModuleStates& States() { return *m_pStates; }
  CConfig* Config() const { return m_pConfig.get(); }
  IFrameServices* UICallback() const { return m_pUICallback; }
  CDesktopState& Desktop() { return *m_pDesktop; }
  int VendorId() const;
  int AppFlags() const;
  int VolumeSteps() const { return m_nVolumeSteps; }
  int IsStarted() const { return m_bStarted; }
  int LcdBrightnessLevel() const { return m_nLcdBrightness; }
  int BrightnessOffset() const { return m_nBrightnessOffset; }
  const CUISystemServices& Services() const { return m_services; }
  // Reads "Vadu5Keys": the five-key remote layout.
  bool FiveKeyLayout() const;
  // Whether the skin shows and enables an action (the skin's state query);
  // every action is available until one is installed.
  std::function<bool(const char* action)> m_isActionAvailable;
  bool ActionAvailable(const char* name) const;
  bool RunFiveKeyAction(std::intptr_t code);
  bool SomethingPlays() const;
  void ToggleAllTrays();

  // The callback tables handed to engines and services.
  ICoreAudioEventSink* CoreAudioSink() { return &m_coreAudioSink; }
  IKeyDispatchSink* KeyDispatchSink() { return &m_keyDispatchSink; }
  IPhotoNotifySink* PhotoNotifySink() { return &m_photoNotifySink; }
  IStatusSink* StatusSink() { return &m_statusSink; }
  IGrabberEventSink* GrabberSink() { return &m_grabberSink; }
  IRadioEventSink* RadioSink() { return &m_radioSink; }
  IWMPlayerEventSink* WMPlayerEventSink() { return &m_wmPlayerSink; }
  IRipperEventSink* WmaRipperSink() { return &m_wmaRipperSink; }
  IDvdEventSink* DvdEventSink() { return &m_dvdSink; }
  IRipperEventSink* Mp3RipperSink() { return &m_mp3RipperSink; }

  // The media player host the Music controller created (null when none).
  IWMPlayer* WMPlayer() const { return m_pWMPlayer.Get(); }
  void SetWMPlayer(plat::ComPtr<IWMPlayer> player) { m_pWMPlayer = std::move(player); }
  IMusicPageEvents* MusicPageCallback() const { return m_pMusicPage; }
  IVideoPageEvents* VideoPageCallback() const { return m_pVideoPage; }
  ITvPageEvents* TVPageCallback() const { return m_pTvPage; }

  // --- Handlers of the system words ----------------------------------------------
  int OnHome(std::intptr_t a, std::intptr_t b);
  int OnBack(std::intptr_t a, std::intptr_t b);
  int OnHideOsd(std::intptr_t a, std::intptr_t b);
  int OnNoEffect(std::intptr_t a, std::intptr_t b);
  int OnVolUp(std::intptr_t a, std::intptr_t b);
  int OnVolDown(std::intptr_t a, std::intptr_t b);
  int OnVolMute(std::intptr_t a, std::intptr_t b);
  int OnVolUnmute(std::intptr_t a, std::intptr_t b);
  int OnVolMuteUnmute(std::intptr_t a, std::intptr_t b);

  // --- Module controllers (built with their modules) ----------------------------
  void RegisterMovieActions();
  void RegisterMusicActions();
  void RegisterPhotoActions();
  void RegisterVideoActions();
  void RegisterTVActions();
  void RegisterRadioActions();
  void RegisterRecordActions();
  void RegisterAuthoringActions();
  void RegisterBurningActions();

  // --- Movie controller (corebridge/modules/movie_*.cpp) ---------------------
  // Entering, leaving, the disc and the transport (movie_controller.cpp).
  int OnMovieEntry(std::intptr_t drive, std::intptr_t forced);
  int OnMoviePlay(std::intptr_t resume, std::intptr_t arg);
  int OnMoviePause(std::intptr_t a, std::intptr_t b);
  int OnMoviePlayPause(std::intptr_t a, std::intptr_t b);
  int OnMoviePausePlay(std::intptr_t a, std::intptr_t b);
  int OnMovieStop(std::intptr_t a, std::intptr_t b);
  int OnMoviePreChapter(std::intptr_t a, std::intptr_t b);
  int OnMovieNextChapter(std::intptr_t a, std::intptr_t b);
  int OnMovieFastForeward(std::intptr_t a, std::intptr_t b);
  int OnMovieRewind(std::intptr_t a, std::intptr_t b);
  int OnMovieEject(std::intptr_t a, std::intptr_t b);
  int MovieStopModule(std::intptr_t reshow, std::intptr_t b);
  int MoviePrepareDisc(int resume);
  int MovieOpenDisc(int resume);
  int MovieCloseDisc(int saveResume);
  int HasDvdResumeState(int drive);
  int FindDiscDrive(int drive, int fallback);
  int GetDriveMediaKind(int drive, int& kind);
  int WaitPumpingMessages(int ms);
  int MovieSetDxva(int on);
  int MovieOnDeviceChange(int event, int drive);
  int MoviePageRefresh();
  int QueryDvdAudioOutputCaps();
  // The audio outputs asked after start-up (see kDvdAudioCapsTimer), or at
  // once by the first Movie entry that comes before.
  void OnDvdAudioCapsTimer();
  void EnsureDvdAudioOutputCaps();
  void OnMediaStarted();
  int MovieEngineReapplyOnPowerApply();
  int MovieEngineReapplyOnPowerRestore();
  // Disc menus, streams, snapshots, the settings pages (movie_settings.cpp,
  // movie_streams.cpp, movie_snapshot.cpp).
  int OnMovieLanguage(std::intptr_t a, std::intptr_t b);
  int OnMovieSubtitle(std::intptr_t a, std::intptr_t b);
  int OnMovieAngle(std::intptr_t a, std::intptr_t b);
  int OnMovieClosedCaption(std::intptr_t a, std::intptr_t b);
  int OnMovieFWMainMenu(std::intptr_t a, std::intptr_t b);
  int OnMovieRootMenu(std::intptr_t a, std::intptr_t b);
  int OnMovieMainMenu(std::intptr_t a, std::intptr_t b);
  int OnMovieResume(std::intptr_t a, std::intptr_t b);
  int OnMovieRestart(std::intptr_t a, std::intptr_t b);
  int OnMovieMenuUp(std::intptr_t a, std::intptr_t b);
  int OnMovieMenuDown(std::intptr_t a, std::intptr_t b);
  int OnMovieMenuLeft(std::intptr_t a, std::intptr_t b);
  int OnMovieMenuRight(std::intptr_t a, std::intptr_t b);
  int OnMovieMenuEnter(std::intptr_t a, std::intptr_t b);
  int OnMovieKey1(std::intptr_t a, std::intptr_t b);
  int OnMovieKey2(std::intptr_t a, std::intptr_t b);
  int OnMovieKey3(std::intptr_t a, std::intptr_t b);
  int OnMovieKey4(std::intptr_t a, std::intptr_t b);
  int OnMovieKey5(std::intptr_t a, std::intptr_t b);
  int OnMovieKey6(std::intptr_t a, std::intptr_t b);
  int OnMovieKey7(std::intptr_t a, std::intptr_t b);
  int OnMovieKey8(std::intptr_t a, std::intptr_t b);
  int OnMovieKey9(std::intptr_t a, std::intptr_t b);
  int OnMovieKey0(std::intptr_t a, std::intptr_t b);
  int OnMovieVideoDesktop(std::intptr_t a, std::intptr_t b);
  int OnMovieSnapshot(std::intptr_t a, std::intptr_t b);
  int OnMovieGoUp(std::intptr_t a, std::intptr_t b);
  int OnMovieSnapshotFolderEnter(std::intptr_t a, std::intptr_t b);
  int OnMovieSetting(std::intptr_t a, std::intptr_t b);
  int OnMovieSettingEntry(std::intptr_t a, std::intptr_t b);
  int OnMovieSettingReturn(std::intptr_t a, std::intptr_t b);
  int OnMovieAudioSetting(std::intptr_t a, std::intptr_t b);
  int OnMovieLanguageSetting(std::intptr_t a, std::intptr_t b);
  int OnMovieParentalControlSetting(std::intptr_t a, std::intptr_t b);
  int OnMovieBack(std::intptr_t a, std::intptr_t b);
  int OnMovieGoSettingPage(std::intptr_t a, std::intptr_t b);
  int OnMovieNotSupportDTS(std::intptr_t a, std::intptr_t b);
  int OnMovieApplyRegionCode(std::intptr_t a, std::intptr_t b);
  int OnMovieAcceptPLCChange(std::intptr_t a, std::intptr_t b);
  int OnMovieResize(std::intptr_t a, std::intptr_t b);
  int OnMovieScreenRatioLeft(std::intptr_t a, std::intptr_t b);
  int OnMovieWideScreenModeLeft(std::intptr_t a, std::intptr_t b);
  int OnMovieWideScreenModeRight(std::intptr_t a, std::intptr_t b);
  int OnMovieColorProfileLeft(std::intptr_t a, std::intptr_t b);
  int OnMovieColorProfileRight(std::intptr_t a, std::intptr_t b);
  int OnMovieEnableDXVALeft(std::intptr_t a, std::intptr_t b);
  int OnMovieAudioOutputLeft(std::intptr_t a, std::intptr_t b);
  int OnMovieAudioOutputRight(std::intptr_t a, std::intptr_t b);
  int OnMovieAudioProfileLeft(std::intptr_t a, std::intptr_t b);
  int OnMovieAudioProfileRight(std::intptr_t a, std::intptr_t b);
  int OnMovieAudioChannelExpanderLeft(std::intptr_t a, std::intptr_t b);
  int OnMovieAudioChannelExpanderRight(std::intptr_t a, std::intptr_t b);
  int OnMovieSelectSubtitleLeft(std::intptr_t a, std::intptr_t b);
  int OnMovieSelectSubtitleRight(std::intptr_t a, std::intptr_t b);
  int OnMovieSelectClosedCaptionLeft(std::intptr_t a, std::intptr_t b);
  int OnMovieSelectClosedCaptionRight(std::intptr_t a, std::intptr_t b);
  int OnMovieSelectLanguageLeft(std::intptr_t a, std::intptr_t b);
  int OnMovieSelectLanguageRight(std::intptr_t a, std::intptr_t b);
  int OnMovieSelectPLCLevelLeft(std::intptr_t a, std::intptr_t b);
  int OnMovieSelectPLCLevelRight(std::intptr_t a, std::intptr_t b);
  int OnMovieRestoreVideoSettingEnter(std::intptr_t a, std::intptr_t b);
  int OnMovieRestoreAudioSettingEnter(std::intptr_t a, std::intptr_t b);
  int OnMovieRestoreLanguageSettingEnter(std::intptr_t a, std::intptr_t b);
  int OnMovieRestoreDefaultsSettingEnter(std::intptr_t a, std::intptr_t b);
  int OnMovieChangePINNumberEnter(std::intptr_t a, std::intptr_t b);
  int OnMovieRemovePINNumberEnter(std::intptr_t a, std::intptr_t b);
  int OnMovieAllowDiscPlay(std::intptr_t a, std::intptr_t b);
  int OnMovieDenyDiscPlay(std::intptr_t a, std::intptr_t b);
  int OnMoviePassWordErrorOK(std::intptr_t a, std::intptr_t b);
  int OnMovieRemovePINYes(std::intptr_t a, std::intptr_t b);
  int OnMovieRemovePINNO(std::intptr_t a, std::intptr_t b);
  int OnMovieUpdateAudioProfiles(std::intptr_t a, std::intptr_t b);
  int OnMovieAudioOutputSelection(std::intptr_t a, std::intptr_t b);
  int OnMovieVIVEXSelection(std::intptr_t a, std::intptr_t b);
  int MovieApplyVideoSettings();
  int MovieSelectDefaultAudio();
  int MovieSelectDefaultSubtitle();
  int EnumDvdLocales();
  // The DVD event reactions (movie_events.cpp).
  int RegionAdminCheck();
  IDvdEventSink* MovieDvdEventSink() { return &m_movieDvdEvents; }
  IDvdEventSink* VideoDvdEventSink() { return &m_videoDvdEvents; }
  int MovieDiscOpen() const { return m_bDiscOpen; }

  int OnMusicEntry(std::intptr_t a, std::intptr_t b);
  int OnMusicStop(std::intptr_t a, std::intptr_t b);
  int OnMusicPlayPause(std::intptr_t a, std::intptr_t b);
  int OnMusicPreviousTrack(std::intptr_t a, std::intptr_t b);
  int OnMusicNextTrack(std::intptr_t a, std::intptr_t b);
  int OnMusicFastforward(std::intptr_t a, std::intptr_t b);
  int OnMusicRewind(std::intptr_t a, std::intptr_t b);
  int OnMusicBack(std::intptr_t a, std::intptr_t b);
  int OnMusicStopRipping(std::intptr_t a, std::intptr_t b);
  int OnMusicStopMediaSearch(std::intptr_t a, std::intptr_t b);
  int MusicStopModule(std::intptr_t a, std::intptr_t b);
  int MusicOnDeviceChange(int event, int drive);
  int MusicLoadAudioCd(const std::string& drive);
  int OnMusicAlbumArtPath(std::intptr_t entry, std::intptr_t b);
  int OnMusicNextEffect(std::intptr_t a, std::intptr_t b);
  int OnMusicPreviousEffect(std::intptr_t a, std::intptr_t b);
  // Ends a rip that did not reach the end of its track: marks the entry at
  // m_nRipIndex "Incomplete" and removes its output file.
  int CleanupIncompleteRip();
  // 1 for a URL the Music module plays; otherwise stops playback and gives 0.
  int IsPlayableMediaFile(const std::string& url);
  int MusicShowModeText(const char* key, int lasting);
  int MusicPlaySelected();
  int MusicShowSongInfo();
  // Library, browsing and transport (corebridge/modules/music_*.cpp).
  int OnMusicMenu(std::intptr_t a, std::intptr_t b);
  int OnReturnFromSettings(std::intptr_t a, std::intptr_t b);
  int OnMusicMediaLibrary(std::intptr_t a, std::intptr_t b);
  int OnMusicAlbum(std::intptr_t a, std::intptr_t b);
  int OnMusicArtist(std::intptr_t a, std::intptr_t b);
  int OnMusicGenre(std::intptr_t a, std::intptr_t b);
  int OnMusicPlaylist(std::intptr_t a, std::intptr_t b);
  int OnMusicSettings(std::intptr_t a, std::intptr_t b);
  int OnMusicClickList(std::intptr_t item, std::intptr_t b);
  int OnMusicFilebrowsingComplete(std::intptr_t a, std::intptr_t b);
  int OnMusicPlay(std::intptr_t a, std::intptr_t b);
  int OnMusicPause(std::intptr_t a, std::intptr_t b);
  int OnMusicPausePlay(std::intptr_t a, std::intptr_t b);
  int OnMusicShuffle(std::intptr_t a, std::intptr_t b);
  int OnMusicRepeatAll(std::intptr_t a, std::intptr_t b);
  int OnMusicSortByName(std::intptr_t a, std::intptr_t b);
  int OnMusicSortByDate(std::intptr_t a, std::intptr_t b);
  int OnMusicMixerDeviceLeft(std::intptr_t step, std::intptr_t b);
  int OnMusicMixerDeviceRight(std::intptr_t step, std::intptr_t b);
  int OnMusicMixerSourceLeft(std::intptr_t step, std::intptr_t b);
  int OnMusicMixerSourceRight(std::intptr_t step, std::intptr_t b);
  int OnReturnFromVisualization(std::intptr_t a, std::intptr_t b);
  int OnMusicVisualization(std::intptr_t a, std::intptr_t b);
  int OnMusicSelectVisualizationEnter(std::intptr_t a, std::intptr_t b);
  int OnMusicResize(std::intptr_t a, std::intptr_t b);
  int OnMusicShowSongInformationLeft(std::intptr_t a, std::intptr_t b);
  int OnMusicVisualizationPlusSelection(std::intptr_t a, std::intptr_t b);
  int OnMusicSelectDefaultFolder(std::intptr_t a, std::intptr_t b);
  int OnMusicSelectDefaultFolderReturn(std::intptr_t a, std::intptr_t b);
  int OnMusicDefualtSettingEnter(std::intptr_t a, std::intptr_t b);
  int OnMusicStartMediaSearch(std::intptr_t a, std::intptr_t b);
  int OnMusicCloseSearch(std::intptr_t a, std::intptr_t b);
  int OnMusicRefreshMediaLibrary(std::intptr_t a, std::intptr_t b);
  int OnMusicBrowseByPath(std::intptr_t a, std::intptr_t b);
  int OnMusicBrowseByAlbum(std::intptr_t a, std::intptr_t b);
  int OnMusicBrowseByArtist(std::intptr_t a, std::intptr_t b);
  int OnMusicBrowseBySong(std::intptr_t a, std::intptr_t b);
  int OnMusicSelectAll(std::intptr_t a, std::intptr_t b);
  int OnMusicTagFiles(std::intptr_t item, std::intptr_t b);
  int OnMusicTagFolders(std::intptr_t item, std::intptr_t b);
  int OnMusicDeleteFiles(std::intptr_t a, std::intptr_t b);
  int OnMusicCopy(std::intptr_t a, std::intptr_t b);
  // Audio CDs and ripping (music_rip.cpp).
  int OnMusicRipCD(std::intptr_t a, std::intptr_t b);
  int OnMusicRippingFormatLeft(std::intptr_t a, std::intptr_t b);
  int OnMusicRipNow(std::intptr_t a, std::intptr_t b);
  int OnMusicResumeRipping(std::intptr_t a, std::intptr_t b);
  int MusicRipRun();
  int MusicRipTrack(const MusicRecord& job);
  // The file path of a player CD URL ("wmpcd://n/m"); empty when none.
  std::string CdTrackPath(const std::string& url) const;
  std::string TrackSourcePath(int index);
  // Entry points of the other modules.
  int MusicOpenFromOtherModule(const std::string& folder, const std::string& backAction);
  int MusicEnterCopyToDrive(const std::string& path, const std::string& backAction);
  int MusicEnterCopyToFolder(const std::string& backAction);
  // The music worker (music_worker.cpp).
  int MusicWorkerStart();
  int MusicWorkerJoin();
  void MusicWorkerDeliver();

  // --- Photo controller (corebridge/modules/photo_*.cpp) -----------------------
  // Entry, exit, slide show and its settings (photo_slideshow.cpp).
  int OnPhotoEntry(std::intptr_t a, std::intptr_t b);
  int PhotoStopModule(std::intptr_t a, std::intptr_t b);  // "Photo Exit"
  int OnPhotoSlideshowPlay(std::intptr_t a, std::intptr_t b);
  int PhotoStopSlideShow(std::intptr_t a, std::intptr_t b);  // "Photo Slideshow Stop"
  int OnPhotoSlideshowPause(std::intptr_t a, std::intptr_t b);
  int OnPhotoSlideshowFastforward(std::intptr_t a, std::intptr_t b);
  int OnPhotoSlideshowRewind(std::intptr_t a, std::intptr_t b);
  int OnPhotoSlideshowNextSlide(std::intptr_t a, std::intptr_t b);
  int OnPhotoSlideshowPreviousSlide(std::intptr_t a, std::intptr_t b);
  int OnPhotoSlideshowPlayPause(std::intptr_t a, std::intptr_t b);
  int OnPhotoSlideshowPausePlay(std::intptr_t a, std::intptr_t b);
  int OnPhotoSlideshowResize(std::intptr_t a, std::intptr_t b);
  int OnPhotoPictureDurationLeft(std::intptr_t a, std::intptr_t b);
  int OnPhotoPictureDurationRight(std::intptr_t a, std::intptr_t b);
  int OnPhotoTransitionEffectLeft(std::intptr_t a, std::intptr_t b);
  int OnPhotoTransitionEffectRight(std::intptr_t a, std::intptr_t b);
  int OnPhotoPlayBgMusicLeft(std::intptr_t a, std::intptr_t b);
  int OnPhotoPlayBgMusicRight(std::intptr_t a, std::intptr_t b);
  int OnPhotoLoadDefaultSetting(std::intptr_t a, std::intptr_t b);
  int PhotoOnDisplayChange();
  int SlideShowStart();
  int PlaySlideShow();
  int PauseSlideShow();
  int StopSlideShow();
  int SeekSlideShow(std::int64_t seconds);
  // Sets the slide-show state in both fields the pages and the core read.
  void SetSlideShowState(int state);
  int SlideShowState() const;
  // The remote-control mode notice of the Photo module.
  void PhotoNotifyMode(int mode);
  int PhotoRedraw(int flag);
  // Background music (photo_music.cpp).
  int StartBackgroundMusic();
  int PauseBackgroundMusic();
  int StopBackgroundMusic();
  int OnPhotoUpdateBgMusicExploreItem(std::intptr_t a, std::intptr_t b);
  int OnPhotoKillBgMusicFiles(std::intptr_t a, std::intptr_t b);
  // Views, history, browsing, sorting and deleting (photo_views.cpp).
  int PhotoGoToView(int view, int refresh);
  int PhotoReturn(int refresh);
  int PhotoRefreshView();
  int PhotoShowDriveSelector();
  int PhotoSendToRecord(const std::string& folder);
  int DestroyPhotoCaches();
  int DeletePhotoTempFiles();
  int PhotoBack(std::intptr_t a, std::intptr_t b);
  int PhotoOnDeviceChange(int event, int drive);
  int OnPhotoFullscreen(std::intptr_t a, std::intptr_t b);
  int OnPhotoPreviousImage(std::intptr_t a, std::intptr_t b);
  int OnPhotoNextImage(std::intptr_t a, std::intptr_t b);
  int OnPhotoClearRecentPicture(std::intptr_t a, std::intptr_t b);
  int OnPhotoSortByName(std::intptr_t a, std::intptr_t b);
  int OnPhotoSortByDate(std::intptr_t a, std::intptr_t b);
  int OnPhotoDeleteAllFile(std::intptr_t a, std::intptr_t b);
  int OnPhotoDeleteFile(std::intptr_t index, std::intptr_t b);
  int OnPhotoBrowser(std::intptr_t entry, std::intptr_t kind);
  int OnPhotoEditBrowser(std::intptr_t a, std::intptr_t b);
  int OnPhotoEditView(std::intptr_t a, std::intptr_t b);
  int OnPhotoBurnningBrowser(std::intptr_t a, std::intptr_t b);
  int OnPhotoBurnningPreview(std::intptr_t a, std::intptr_t b);
  int OnPhotoSetting(std::intptr_t a, std::intptr_t b);
  int OnPhotoBgMusicBrowserSelection(std::intptr_t a, std::intptr_t b);
  int OnPhotoAcquireImageFolderSelection(std::intptr_t a, std::intptr_t b);
  int OnPhotoBrowseFolderSelection(std::intptr_t a, std::intptr_t b);
  int OnPhotoArchive(std::intptr_t a, std::intptr_t b);
  int OnPhotoCdDvdDevice(std::intptr_t a, std::intptr_t b);
  int OnPhotoUsbDevice(std::intptr_t a, std::intptr_t b);
  int OnPhotoSmartMediaDevice(std::intptr_t a, std::intptr_t b);
  int OnPhotoMemoryStickDevice(std::intptr_t a, std::intptr_t b);
  int OnPhotoCompactFlashDevice(std::intptr_t a, std::intptr_t b);
  int OnPhotoSecureDigitalDevice(std::intptr_t a, std::intptr_t b);
  int OnPhotoReturn(std::intptr_t a, std::intptr_t b);
  int OnPhotoBgMusicBrowserReturn(std::intptr_t a, std::intptr_t b);
  int OnPhotoFolderSelectReturn(std::intptr_t a, std::intptr_t b);
  int OnPhotoBrowseFolderSelectionReturn(std::intptr_t a, std::intptr_t b);
  int OnPhotoMenuEdit(std::intptr_t a, std::intptr_t b);
  int OnPhotoFileView(std::intptr_t a, std::intptr_t b);
  int OnPhotoMenuEditReturn(std::intptr_t a, std::intptr_t b);
  int OnPhotoRecord(std::intptr_t a, std::intptr_t b);
  int OnPhotoDestroyPhotoCaches(std::intptr_t a, std::intptr_t b);
  int OnPhotoKillPhotoFiles(std::intptr_t a, std::intptr_t b);
  // Rotation, adjustments, working copies, engines (photo_edit.cpp).
  int InitPhotoEngines();
  std::string MakeEditableCopy(const std::string& path);
  int ApplyPhotoEdit(int index);
  int OnPhotoRotateLeft(std::intptr_t a, std::intptr_t b);
  int OnPhotoRotateRight(std::intptr_t a, std::intptr_t b);
  int OnPhotoBrightnessLeft(std::intptr_t a, std::intptr_t b);
  int OnPhotoBrightnessRight(std::intptr_t a, std::intptr_t b);
  int OnPhotoHueLeft(std::intptr_t a, std::intptr_t b);
  int OnPhotoHueRight(std::intptr_t a, std::intptr_t b);
  int OnPhotoSaturationLeft(std::intptr_t a, std::intptr_t b);
  int OnPhotoSaturationRight(std::intptr_t a, std::intptr_t b);
  int OnPhotoContrastLeft(std::intptr_t a, std::intptr_t b);
  int OnPhotoContrastRight(std::intptr_t a, std::intptr_t b);
  int OnPhotoSharpnessLeft(std::intptr_t a, std::intptr_t b);
  int OnPhotoSharpnessRight(std::intptr_t a, std::intptr_t b);
  // Cameras and scanners (photo_acquire.cpp).
  int OnPhotoImageAcquisitionBrowser(std::intptr_t device, std::intptr_t b);
  int LoadAcquireDevices();
  int SelectAcquireDevice(int index);
  int OpenAcquireSession();
  int StartPhotoAcquire();
  int EndPhotoAcquire();
  int PhotoOnRefreshMessage();
  int PhotoOnNotifyMessage(std::intptr_t item);
  IImageAcquireEventSink* ImageAcquireSink() { return &m_imageAcquireSink; }
  ISlideShowEventSink* SlideShowSink() { return &m_slideShowSink; }
  IPhotoPageEvents* PhotoPageCallback() const { return m_pPhotoPage; }

  int VideoStopModule(std::intptr_t a, std::intptr_t b);
  int VideoBack(std::intptr_t a, std::intptr_t b);
  int VideoOnDeviceChange(int event, int drive);
  int VideoStartPositionTimer();
  int VideoExitPlayback(std::intptr_t a, std::intptr_t b);
  int VideoKeyPrevious(std::intptr_t a, std::intptr_t b);
  int VideoKeyNext(std::intptr_t a, std::intptr_t b);
  int VideoKeyRewind(std::intptr_t a, std::intptr_t b);
  int VideoKeyFastForward(std::intptr_t a, std::intptr_t b);
  int VideoPlay(std::intptr_t a, std::intptr_t b);
  int VideoPlayPause(std::intptr_t a, std::intptr_t b);
  // The Video controller's actions (video_controller.cpp, video_playback.cpp).
  int VideoEntry(std::intptr_t a, std::intptr_t b);
  int VideoMyVideos(std::intptr_t a, std::intptr_t b);
  int VideoRecentVideos(std::intptr_t a, std::intptr_t b);
  int VideoBrowsePage(std::intptr_t a, std::intptr_t b);
  int VideoEditPage(std::intptr_t a, std::intptr_t b);
  int VideoMarkPage(std::intptr_t a, std::intptr_t b);
  int VideoBurnVideo(std::intptr_t a, std::intptr_t b);
  int VideoGeneralSetting(std::intptr_t a, std::intptr_t b);
  int VideoCaptureSetting(std::intptr_t a, std::intptr_t b);
  int VideoBurnSelectReturn(std::intptr_t a, std::intptr_t b);
  int VideoSettingReturn(std::intptr_t a, std::intptr_t b);
  int VideoReturnToDeviceSelection(std::intptr_t a, std::intptr_t b);
  int VideoRecord(std::intptr_t a, std::intptr_t b);
  int VideoClearRecentRecords(std::intptr_t a, std::intptr_t b);
  int VideoDelete(std::intptr_t a, std::intptr_t b);
  int VideoSortByName(std::intptr_t a, std::intptr_t b);
  int VideoSortByDate(std::intptr_t a, std::intptr_t b);
  int VideoScreenSizeStep(std::intptr_t a, std::intptr_t b);
  int VideoScreenModeStep(std::intptr_t a, std::intptr_t b);
  int VideoSetSnapshotFolder(std::intptr_t a, std::intptr_t b);
  int VideoSetDefaultFolder(std::intptr_t a, std::intptr_t b);
  int VideoSetCapturedFolder(std::intptr_t a, std::intptr_t b);
  int VideoSelectFolder(std::intptr_t a, std::intptr_t b);
  int VideoCancelSelectFolder(std::intptr_t a, std::intptr_t b);
  int VideoDefaultSetting(std::intptr_t a, std::intptr_t b);
  int VideoArchive(std::intptr_t a, std::intptr_t b);
  int VideoCdDvd(std::intptr_t a, std::intptr_t b);
  int VideoPlayPauseToggle(std::intptr_t a, std::intptr_t b);  // "Video Play Pause"
  int VideoPausePlay(std::intptr_t a, std::intptr_t b);
  int VideoTakeSnapshot(std::intptr_t a, std::intptr_t b);
  int VideoChangeVideoSize(std::intptr_t a, std::intptr_t b);
  // Opens the Video module on `folder` (the default folder when empty) in
  // the browse page, with `backAction` as the way back (TV, record hub).
  int VideoOpenOnFolder(const std::string& folder, const std::string& backAction);
  // Engine events of a video file (the DVD sink's Video branch).
  void VideoOnValidOperationsChange(std::uint32_t prohibited);
  void VideoOnRateChange(std::int32_t speed);
  void VideoOnPlaybackEnded();
  // The capture controller (video_capture.cpp, video_capture_events.cpp):
  // every capture action goes through VideoCaptureRun with its action id.
  template <int kId>
  int VideoCaptureById(std::intptr_t a, std::intptr_t b) {
    return VideoCaptureRun(kId, a, b);
  }
  int VideoCaptureRun(int id, std::intptr_t a, std::intptr_t b);
  void VideoCaptureOnDvEvent(int slot);
  void VideoCaptureOnTimer(plat::UINT_PTR id);
  // Kills the capture timers and closes the camcorder engine.
  void VideoCaptureStopModule();
  IDvGrabEventSink* DvGrabEventSink() { return &m_dvGrabSink; }

  int TVStopModule(std::intptr_t a, std::intptr_t b);
  int TVBack(std::intptr_t a, std::intptr_t b);
  int TVOnDeviceChange(int event, int drive);
  int TVStart(std::intptr_t a, std::intptr_t b);
  // Stops the recording a TV schedule started, when the schedule ends.
  int TVScheduleStop();
  int TVShowRecordStatus(const char* kind);
  // The TV controller (tv_controller.cpp, tv_events.cpp, tv_snapshot.cpp):
  // every TV action goes through TVRun with its action id.
  template <int kId>
  int TVActionById(std::intptr_t a, std::intptr_t b) {
    return TVRun(kId, a, b);
  }
  int TVRun(int id, std::intptr_t a, std::intptr_t b);
  // The engine's events as the controller handles them.
  void TVOnSearchFinished();
  void TVOnSearchPercent(int percent);
  void TVOnRecordingEnded();
  void TVOnPictureReady();
  void TVOnWallCell(int index, int channel, const char* name, const TvPicture* picture);
  void TVOnTuning(int channel, int isChannel);
  void TVOnTeletextPageChanged();

  // The Radio controller (corebridge/modules/radio_*.cpp): every Radio
  // action goes through RadioRun with its action id.
  template <int kId>
  int RadioActionById(std::intptr_t a, std::intptr_t b) {
    return RadioRun(kId, a, b);
  }
  int RadioRun(int id, std::intptr_t a, std::intptr_t b);
  IRadioPageEvents* RadioPageCallback() const { return m_pRadioPage; }
  // Set while a radio wait pumps messages: radio actions are refused then.
  int m_nRadioWaits = 0;
  int RadioStopModule(std::intptr_t a, std::intptr_t b);
  int RadioBack(std::intptr_t a, std::intptr_t b);
  int RadioOnDeviceChange(int event, int drive);
  int RadioStart(std::intptr_t a, std::intptr_t b);
  int RadioPrepareRecording(const CScheduleItem& item);
  int RadioScheduleRecord(int flag);
  int RadioCommand(std::intptr_t a, std::intptr_t b);
  int RadioStopRecording(std::intptr_t a, std::intptr_t b);
  int OnRadioRecord(std::intptr_t a, std::intptr_t b);
  // The music player, made ready for playing recordings of the radio.
  int RadioEnsurePlayer();

  int RecordStopModule(std::intptr_t a, std::intptr_t b);
  int RecordBack(std::intptr_t a, std::intptr_t b);
  // The record hub (record_hub.cpp).
  int RecordEntry(std::intptr_t a, std::intptr_t b);
  int RecordEnterOtherModule(std::intptr_t root, std::intptr_t b);
  int RecordGoBackDoor(std::intptr_t flag, std::intptr_t chosen);
  // The record hub's Photo hand-over: Photo opens on `path` (photo_views.cpp).
  int PhotoSendToRecord(const std::string& path, const std::string& backAction);

  // The authoring controller (authoring_controller.cpp).
  int OnAuthoringEntry(std::intptr_t a, std::intptr_t b);
  int OnAuthoringReturn(std::intptr_t a, std::intptr_t b);
  int OnAuthoringBurn(std::intptr_t a, std::intptr_t b);
  int OnAuthoringBurnDVDFolder(std::intptr_t a, std::intptr_t b);
  int OnAuthoringStopBurn(std::intptr_t a, std::intptr_t b);
  int OnAuthoringPreview(std::intptr_t element, std::intptr_t b);
  int OnAuthoringDiscTypeLeft(std::intptr_t a, std::intptr_t b);
  int OnAuthoringDiscTypeRight(std::intptr_t a, std::intptr_t b);
  // The engine's notices, as the sink's slots 0 and 7 carry them.
  int AuthoringSinkSetWindow(int element);
  int AuthoringSinkNotify(std::intptr_t status);
  // The burning hub (burning_hub.cpp).
  int OnBurningEntry(std::intptr_t a, std::intptr_t b);
  int OnBurningEnterOtherModule(std::intptr_t root, std::intptr_t b);
  int OnBurningGoBackDoor(std::intptr_t chosen, std::intptr_t list);

  // Hooks the module controllers replace; tests watch them.
  std::function<void(const char* step)> m_onControllerStep;

 private:
  bool m_bDvdAudioCapsPending = false;
  std::jthread m_mediaStart;  // the media framework's start, joined with the object
  void RunStep(const char* step) {
    if (m_onControllerStep) m_onControllerStep(step);
  }
  void ReadRegistryValues();
  int ExitModule(int module, int movieFlag);

  // Movie controller helpers.
  CMovieConfig& MovieState() const;
  plat::ComPtr<IDiscRunner> MovieEngine() const;
  plat::ComPtr<IDiscRunnerQueries> MovieEngineQueries() const;
  int MoviePageRedraw(int flag);
  int MoviePageShow();
  // Sets the page state, showing the page when it changed.
  void MovieSetPageShown(int state);
  int MovieRefreshDriveList();
  // The playback mode notice for the remote-control window (vendor 1 only).
  void MovieRemoteNotice(int mode, int lParam, const char* text);
  int MovieRemoteDiscModule() const;
  std::string MovieString(const std::string& key) const;
  void MovieShowChapter(int chapter);
  int MovieChapterSkip(bool next);
  int MovieScan(bool forward);
  int MovieDigitKey(int digit);
  int MovieMenuNavigate(int code);
  int MovieShowMenu(int rootMenu);
  int MovieApplyColorProfile();
  int MovieApplyAudioProfile(IDiscRunner& dvd);
  void MovieApplyPowerScheme();
  void MovieRestorePowerScheme();
  void MovieRebuildAudioNames(IDiscRunner& dvd);
  void MovieRebuildSubtitleNames(IDiscRunner& dvd);
  void MovieSelectWideScreen(bool left);
  void MovieStepColorProfile(bool left);
  void MovieStepSpeaker(bool left);
  void MovieStepAudioProfile(bool left);
  void MovieStepParentalLevel(bool left);
  // Reactions of the DVD event table that run as the controller.
  void MovieOnChapterChange(int chapter);
  void MovieOnRegionMismatch(int discRegionMask);
  void MovieOnParentalRequest(int level);
  void MovieOnParentalBlock();
  void MovieOnDiscClosed();
  void MovieOnAudioNotSupported();

  // Music controller helpers (music_controller.cpp).
  int MusicEnsurePlayer();
  int MusicCurrentPage() const;
  void MusicShowPage(int page);
  int MusicRedraw(int flag);
  void MusicRemoteNotice(int mode, const char* text);
  void MusicOsd(const char* key);
  int MusicStopPlayback();
  int MusicStopRecording();
  int MusicStepMixerDevice(std::intptr_t step);
  int MusicStepMixerSource(std::intptr_t step);
  void MusicReadMixerSources();
  int MusicSelectSource(int item);
  int MusicBuildAlbumList();
  int MusicBuildNamedList(const char* attribute, std::vector<MusicRecord>& list);
  int MusicBuildPlaylistList();
  int MusicReadTrackList(int from);
  int MusicLoadRemembered(int page, int item);
  int MusicRebuildBrowsingPlaylist(bool addWavToLibrary);
  int MusicSort(int mode);
  int MusicStepEffect(int direction);

  int m_bDiscOpen = 0;        // a disc is open on the DVD engine
  int m_bPlaybackPower = 0;   // the playback power scheme is in force

  // Callback tables, each a sub-object that forwards to the object.
  // The slide-show renderer's events (photo_slideshow.cpp).
  class SlideShowSinkTable final : public ISlideShowEventSink {
   public:
    explicit SlideShowSinkTable(CUISystem& owner) : owner_(owner) {}
    int OnTick() override { return 0; }
    int OnShowEnded() override;
    int OnForeground(std::int32_t) override { return 0; }
    int OnWindowFlag(std::int32_t) override { return 0; }
    int OnRewindAtStart() override;

   private:
    CUISystem& owner_;
  };
  class CoreAudioSinkTable final : public ICoreAudioEventSink {
   public:
    explicit CoreAudioSinkTable(CUISystem& owner) : owner_(owner) {}
    int OnMixerChange() override;

   private:
    CUISystem& owner_;
  };
  class GrabberSinkTable final : public IGrabberEventSink {
   public:
    explicit GrabberSinkTable(CUISystem& owner) : owner_(owner) {}
    int OnDiskFull() override { return 0; }
    int OnSearchFinished(IGrabber*) override;
    int OnSearchPercent(int percent) override;
    int OnRecordingEnded(IGrabber*) override;
    int OnPictureReady(int) override;
    int OnSignalLost() override { return 0; }
    int OnScanStep(int, int, int) override { return 0; }
    int OnPreviewStep(int index, int channel, const char* name, const TvPicture* picture) override;
    int OnTuning(int a, int b, int isChannel) override;
    int OnTeletextPageChanged() override;
    int OnTimeShiftNoSpace() override { return 0; }
    int OnDiscNotice(int) override { return 0; }
    int OnDeviceLost() override { return 0; }
    int OnProgressValue(int value) override { return OnBurnPreparation(value); }
    int OnProgressEnd() override { return 0; }
    int OnBurnPreparation(int event) override;
    int OnSourceReopened(IGrabber*) override { return 0; }
    int OnSourceNotice(int) override { return 0; }
    int OnRecorderNotice(int, int) override { return 0; }
    int OnSourceError(int) override { return 0; }
    int OnSourceRestarted() override { return 0; }
    int OnReplayAtLive() override { return 0; }

   private:
    CUISystem& owner_;
  };
  // The player's events (engine_sinks.cpp).
  class WMPlayerSink final : public IWMPlayerEventSink {
   public:
    explicit WMPlayerSink(CUISystem& owner) : owner_(owner) {}
    plat::HRESULT OnMediaChange() override;
    int OnPlaying() override;
    int OnPaused() override;
    int OnStopped() override;
    int OnMediaEnded() override;
    int OnReady() override;
    int OnMouseMove() override;
    int OnClick() override;
    int OnKeyDown(int keyCode, int shiftState) override;
    int OnSearchProgress() override;
    int OnPosition(double seconds) override;

   private:
    CUISystem& owner_;
  };
  // The camcorder engine's events, each to the capture controller by its
  // slot (video_capture_events.cpp).
  class DvGrabSink final : public IDvGrabEventSink {
   public:
    explicit DvGrabSink(CUISystem& owner) : owner_(owner) {}
    int Notify0(SinkArg, SinkArg) override { return Dispatch(0); }
    int Notify1(SinkArg, SinkArg) override { return Dispatch(1); }
    int Notify2(SinkArg, SinkArg) override { return Dispatch(2); }
    int Notify3(SinkArg, SinkArg) override { return Dispatch(3); }
    int Notify4(SinkArg, SinkArg) override { return Dispatch(4); }
    int Notify5(SinkArg, SinkArg) override { return Dispatch(5); }
    int Notify6(SinkArg, SinkArg) override { return Dispatch(6); }
    int Notify7(SinkArg, SinkArg) override { return Dispatch(7); }
    int Notify8(SinkArg, SinkArg) override { return Dispatch(8); }
    int Notify9(SinkArg, SinkArg) override { return Dispatch(9); }
    int Notify10(SinkArg, SinkArg) override { return Dispatch(10); }
    int Notify11(SinkArg, SinkArg) override { return Dispatch(11); }
    int Notify12(SinkArg, SinkArg) override { return Dispatch(12); }

   private:
    int Dispatch(int slot);
    CUISystem& owner_;
  };
  // The DVD engine's one event table: each event goes to the table of the
  // module that drives the engine (dvd_sink.cpp).
  class DvdSink final : public IDvdEventSink {
   public:
    explicit DvdSink(CUISystem& owner) : owner_(owner) {}
    void OnDomainChange(std::int32_t value) override;
    void OnTitleChange(std::int32_t value) override;
    void OnChapterStart(std::int32_t chapter) override;
    void OnAudioChange(std::int32_t count) override;
    void OnSubtitleChange(std::int32_t count) override;
    void OnAngleChange(std::int32_t count) override;
    void OnButtonChange(std::int32_t count) override;
    void OnTimeChange(const std::uint32_t* eventTime, const std::uint32_t* currentTime) override;
    void OnValidOperationsChange(std::uint32_t prohibited) override;
    void OnInvalidRegion(std::int32_t discRegionMask) override;
    void Reserved10() override;
    void OnParentalLevelChange(std::int32_t level) override;
    void OnParentalLevelTooLow() override;
    void OnDiscEjected() override;
    void OnDiscInserted() override;
    void OnComplete() override;
    void OnStopped() override;
    void OnLibraryNotice() override;
    void OnRateChange(std::int32_t speed) override;

   private:
    IDvdEventSink* Target() const;
    CUISystem& owner_;
  };
  // The Movie controller's reactions to the DVD engine's events (movie_events.cpp).
  class MovieDvdEvents final : public IDvdEventSink {
   public:
    explicit MovieDvdEvents(CUISystem& owner) : owner_(owner) {}
    void OnDomainChange(std::int32_t value) override;
    void OnTitleChange(std::int32_t value) override;
    void OnChapterStart(std::int32_t chapter) override;
    void OnAudioChange(std::int32_t count) override;
    void OnSubtitleChange(std::int32_t count) override;
    void OnAngleChange(std::int32_t count) override;
    void OnButtonChange(std::int32_t count) override;
    void OnTimeChange(const std::uint32_t*, const std::uint32_t*) override {}
    void OnValidOperationsChange(std::uint32_t prohibited) override;
    void OnInvalidRegion(std::int32_t discRegionMask) override;
    void Reserved10() override {}
    void OnParentalLevelChange(std::int32_t level) override;
    void OnParentalLevelTooLow() override;
    void OnDiscEjected() override;
    void OnDiscInserted() override {}
    void OnComplete() override;
    void OnStopped() override;
    void OnLibraryNotice() override;
    void OnRateChange(std::int32_t speed) override;

   private:
    CUISystem& owner_;
  };
  // The Video controller's reactions to the DVD engine's events while it
  // plays files (dvd_sink.cpp); the other events mean nothing to it.
  class VideoDvdEvents final : public IDvdEventSink {
   public:
    explicit VideoDvdEvents(CUISystem& owner) : owner_(owner) {}
    void OnDomainChange(std::int32_t) override {}
    void OnTitleChange(std::int32_t) override {}
    void OnChapterStart(std::int32_t) override {}
    void OnAudioChange(std::int32_t) override {}
    void OnSubtitleChange(std::int32_t) override {}
    void OnAngleChange(std::int32_t) override {}
    void OnButtonChange(std::int32_t) override {}
    void OnTimeChange(const std::uint32_t*, const std::uint32_t*) override {}
    void OnValidOperationsChange(std::uint32_t prohibited) override;
    void OnInvalidRegion(std::int32_t) override {}
    void Reserved10() override {}
    void OnParentalLevelChange(std::int32_t) override {}
    void OnParentalLevelTooLow() override {}
    void OnDiscEjected() override {}
    void OnDiscInserted() override {}
    void OnComplete() override;
    void OnStopped() override;
    void OnLibraryNotice() override {}
    void OnRateChange(std::int32_t speed) override;

   private:
    CUISystem& owner_;
  };
  // The rippers' progress and end of each track, one table per ripper
  // (ripper_sink.cpp).
  class RipperSinkTable final : public IRipperEventSink {
   public:
    enum class Ripper { Mp3, Wma };
    RipperSinkTable(CUISystem& owner, Ripper ripper) : owner_(owner), ripper_(ripper) {}
    int OnProgress(float fraction) override;
    int OnFinished() override;
    int OnAborted() override;

   private:
    // Stops and releases this table's ripper; reads its position and length
    // first. False when the position could not be read.
    bool StopRipper(std::int64_t& position, std::int64_t& duration, bool& present);
    CUISystem& owner_;
    Ripper ripper_;
    // Set when OnProgress asked the ripper to stop: the OnFinished that
    // follows is then no completion of the track.
    bool stopRequested_ = false;
  };
  // The authoring engine's events: slot 0 shows an element in the preview,
  // slot 7 reports the job's status; the others do nothing.
  class AuthoringSink final : public IAuthoringEventSink {
   public:
    explicit AuthoringSink(CUISystem& owner) : owner_(owner) {}
    int Notify0(SinkArg a, SinkArg) override { return owner_.AuthoringSinkSetWindow(static_cast<int>(a)); }
    int Notify1(SinkArg, SinkArg) override { return 0; }
    int Notify2(SinkArg, SinkArg) override { return 0; }
    int Notify3(SinkArg, SinkArg) override { return 0; }
    int Notify4(SinkArg, SinkArg) override { return 0; }
    int Notify5(SinkArg, SinkArg) override { return 0; }
    int Notify6(SinkArg, SinkArg) override { return 0; }
    int Notify7(SinkArg a, SinkArg) override { return owner_.AuthoringSinkNotify(a); }
    int Notify8(SinkArg, SinkArg) override { return 0; }
    int Notify9(SinkArg, SinkArg) override { return 0; }
    int Notify10(SinkArg, SinkArg) override { return 0; }
    int Notify11(SinkArg, SinkArg) override { return 0; }
    int Notify12(SinkArg, SinkArg) override { return 0; }
    int Notify13(SinkArg, SinkArg) override { return 0; }
    int Notify14(SinkArg, SinkArg) override { return 0; }
    int Notify15(SinkArg, SinkArg) override { return 0; }

   private:
    CUISystem& owner_;
  };
  // The radio engine's events as the Radio controller handles them
  // (radio_events.cpp); dropped while the radio is not the active module.
  class RadioSinkTable final : public IRadioEventSink {
   public:
    explicit RadioSinkTable(CUISystem& owner) : owner_(owner) {}
    int OnSearchStarted() override;
    int OnStationFound(int frequency) override;
    int OnSearchEnded() override;
    int OnRecordingStarted() override;
    int OnRecordingStopped() override;
    int Reserved5() override { return 0; }
    int OnRadioText(const char* text) override;
    int OnProgramType(const char* name) override;
    int OnClockTime(const char* text) override;
    int OnStationName(const char* name) override;

   private:
    // Stores an RDS text and has the page draw it; 0 without RDS.
    int OnRdsText(std::string CRadioConfig::*field, const char* text);
    CUISystem& owner_;
  };
  class KeySink final : public IKeyDispatchSink {
   public:
    explicit KeySink(CUISystem& owner) : owner_(owner) {}
    int HotkeyDispatch(std::intptr_t window, std::intptr_t code, std::intptr_t extra) override {
      return owner_.HotkeyDispatch(window, code, extra);
    }

   private:
    CUISystem& owner_;
  };
  class PhotoNoticeSink final : public IPhotoNotifySink {
   public:
    explicit PhotoNoticeSink(CUISystem& owner) : owner_(owner) {}
    int OnMediaNotice(std::intptr_t item) override;

   private:
    CUISystem& owner_;
  };
  // The acquisition worker's events (photo_acquire.cpp). The list queries
  // come on the UI thread; the rest on the worker, which only queues them
  // under the lock and wakes the UI thread with WM_USER+842.
  class ImageAcquireSinkTable final : public IImageAcquireEventSink {
   public:
    explicit ImageAcquireSinkTable(CUISystem& owner) : owner_(owner) {}
    int GetCurrentDevice(AcquireDeviceRecord* device) override;
    int GetItems(AcquireItemList* items) override;
    int Reserved2() override { return 0; }
    int OnImage(const char* path, std::int32_t keep) override;
    int Reserved4() override { return 0; }
    int OnFinished() override;
    int Reserved6() override { return 0; }
    int Reserved7() override { return 0; }
    int OnProgress(std::int32_t percent) override;
    int ShouldStop() override { return running_.load() ? 0 : 1; }

    struct Event {
      enum Kind { Image, Progress, Finished } kind;
      std::string path;
      int value = 0;
    };
    std::vector<Event> Drain();
    void SetRunning(bool running) { running_.store(running); }
    // The window the worker wakes; set before a worker starts.
    void SetWindow(plat::HWND window);

   private:
    void Queue(Event event);
    CUISystem& owner_;
    std::mutex lock_;
    std::vector<Event> events_;
    plat::HWND window_ = nullptr;
    std::atomic<bool> running_{false};
  };
  class MusicStatusSink final : public IStatusSink {
   public:
    explicit MusicStatusSink(CUISystem& owner) : owner_(owner) {}
    int ClearFirstFlag() override;
    int ClearSecondFlag() override;

   private:
    CUISystem& owner_;
  };
  // The Video page's forwarder: only its eighth operation (the Photo
  // controller's acquisition notice) does anything.
  struct VideoForwarder {
    explicit VideoForwarder(CUISystem& owner) : owner(owner) {}
    CUISystem& owner;
  };

  CUISystemServices m_services;
  SlideShowSinkTable m_slideShowSink{*this};
  CoreAudioSinkTable m_coreAudioSink{*this};
  GrabberSinkTable m_grabberSink{*this};
  WMPlayerSink m_wmPlayerSink{*this};
  DvGrabSink m_dvGrabSink{*this};
  DvdSink m_dvdSink{*this};
  MovieDvdEvents m_movieDvdEvents{*this};
  VideoDvdEvents m_videoDvdEvents{*this};
  RipperSinkTable m_mp3RipperSink{*this, RipperSinkTable::Ripper::Mp3};
  RipperSinkTable m_wmaRipperSink{*this, RipperSinkTable::Ripper::Wma};
  AuthoringSink m_authoringSink{*this};
  // The authoring engine, obtained once from the core object.
  plat::ComPtr<IAuthoringEngine> m_pAuthoringEngine;
  RadioSinkTable m_radioSink{*this};
  KeySink m_keyDispatchSink{*this};
  PhotoNoticeSink m_photoNotifySink{*this};
  ImageAcquireSinkTable m_imageAcquireSink{*this};
  // The Photo controller's acquisition session (while one is open) and the
  // display probe whose overlay a slide show holds.
  plat::ComPtr<IImageAcquireSession> m_pAcquireSession;
  std::unique_ptr<CDisplayProbe> m_pDisplayProbe;
  MusicStatusSink m_statusSink{*this};

  std::unique_ptr<CConfig> m_pConfig;
  std::unique_ptr<CDesktopState> m_pDesktop;
  plat::ComPtr<plat::IUnknown> m_pCoreObject;
  CActionTable m_actions;
  IFrameServices* m_pUICallback = nullptr;
  IHomePageEvents* m_pHomePage = nullptr;
  IMoviePageEvents* m_pMoviePage = nullptr;
  IPhotoPageEvents* m_pPhotoPage = nullptr;
  IMusicPageEvents* m_pMusicPage = nullptr;
  IRadioPageEvents* m_pRadioPage = nullptr;
  IVideoPageEvents* m_pVideoPage = nullptr;
  IRecordPageEvents* m_pRecordPage = nullptr;
  ITvPageEvents* m_pTvPage = nullptr;
  IAuthoringPageEvents* m_pAuthoringPage = nullptr;
  IModule9PageEvents* m_pModule9Page = nullptr;
  plat::ComPtr<IWMPlayer> m_pWMPlayer;
  // The music worker's shared state while one runs (music_worker.cpp).
  std::shared_ptr<MusicWorkerState> m_musicWorker;
  std::unique_ptr<CHiddenWindow> m_pHiddenWindow;
  std::unique_ptr<CScheduleList> m_pScheduleList;
  std::unique_ptr<CScheduleTimer> m_pScheduleTimer;
  int m_nVolumeSteps = 10;
  int m_nBrightnessOffset = 0;
  int m_bStarted = 0;
  std::string m_strText;
  int m_nLcdBrightness = 0;
  int m_bSchemeSwitched = 0;  // the battery throttle is in force
  std::unique_ptr<VideoForwarder> m_pVideoForwarder;
  std::unique_ptr<CModuleStates> m_pStates;  // views into the configuration
  // The schedule occurrences the tick last opened, started and stopped.
  struct {
    std::string lastOpened;
    std::string lastStarted;
    std::string lastStopped;
  } m_schedule;

  friend class CHiddenWindow;
  friend class CUISystemTestAccess;
};

// Creates a CUISystem for the class factory (aggregatable).
plat::HRESULT CreateUISystem(plat::IUnknown* outer, const plat::IID& iid, void** out);
