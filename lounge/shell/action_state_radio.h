// Action state queries of the Radio module (playback bar and Radio page),
// answered from the Radio section. "State" is the section's radio state
// (m_nRecordState), "page" its page id, the "view" the top of its page
// history. See action_state.h.
#pragma once

#include <string_view>

class CRadioConfig;

// The radio sources and their line-ins are listed by the Radio page; the
// source and line-in arrows ask it through this.
class IRadioSourceList {
 public:
  virtual int RadioSourceCount() const = 0;
  virtual int CurrentSourceLineInCount() const = 0;

 protected:
  ~IRadioSourceList() = default;
};

// Transport buttons.
int QueryRadioBarPlayState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);  // playback bar
int QueryRadioPlayState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);     // Radio page
int QueryRadioPauseState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
int QueryRadioStopState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
int QueryRadioRecordState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
// Station stepping and fine tuning: while listening the current frequency
// must lie a scan step (Previous/Next) or a fine-tune step (Rewind/
// Fastforward) inside its own band's limits.
int QueryRadioPreviousState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
int QueryRadioNextState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
int QueryRadioFastforwardState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
int QueryRadioRewindState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);

// Sort buttons of the recorded list (page 4), the schedules (page 6) and the
// frequency setting (page 13); on other pages they leave the outputs.
int QueryRadioSortByNameState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
int QueryRadioSortByDateState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
int QueryRadioSortByStatusState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
int QueryRadioSortByCategoryState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
int QueryRadioSortByFrequencyState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
int QueryRadioSortByNamePressedState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
int QueryRadioSortByDatePressedState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
int QueryRadioSortByStatusPressedState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
int QueryRadioSortByCategoryPressedState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
int QueryRadioSortByFrequencyPressedState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);

// Station list entries.
int QueryRadioStationSelectedState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);  // Delete, Rename
int QueryRadioMoveState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
int QueryRadioAddToFavoriteState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
int QueryRadioChooseFMState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
int QueryRadioChooseAMState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
int QueryRadioChooseFMPressedState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
int QueryRadioChooseAMPressedState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
int QueryRadioAddStationState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);

// Pages and settings.
int QueryRadioTextPageState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
// Enabled unless recording or scanning.
int QueryRadioNotBusyState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
// Enabled unless scanning.
int QueryRadioNotScanningState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
// Enabled unless recording.
int QueryRadioNotRecordingState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
// Enabled only while listening (auto scan, fine tune).
int QueryRadioListeningState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
int QueryRadioEnabledState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
// The schedule date arrows: enabled when the schedule being edited is a
// single-day one; 0 (not answered) when none is being edited.
int QueryRadioScheduleArrowState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
// "Radio ConfirmSchedule", "Radio CancelSchedule": only on the set-schedule page.
int QueryRadioSchedulePageState(const CRadioConfig& radio, int& shown, int& enabled, int& checked);
// Source and line-in arrows: more than one to choose from, not while
// recording. 0 (not answered) without a source list.
int QueryRadioSourceArrowState(const CRadioConfig& radio, const IRadioSourceList* sources, int& shown, int& enabled,
                               int& checked);
int QueryRadioLineInArrowState(const CRadioConfig& radio, const IRadioSourceList* sources, int& shown, int& enabled,
                               int& checked);

// Who asks: the playback bar and the Radio page differ on "Radio Play".
enum class RadioStateCaller { kPage, kPlaybackBar };

// The query of a Radio action name; 0 (outputs untouched) for any other name.
int QueryRadioActionState(const CRadioConfig& radio, std::string_view action, int& shown, int& enabled, int& checked,
                          RadioStateCaller caller = RadioStateCaller::kPage, const IRadioSourceList* sources = nullptr);
