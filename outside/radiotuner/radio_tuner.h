// CRadioTuner: the outside radio component (IRadioTunerComponent) on the
// machine's radio tuner (a Video4Linux2 radio or the virtual radio). It
// keeps the band (FM or AM), the area's band plan, the last frequency of
// each band and the presets file; its sound is the sound card's "Radio"
// line, not a stream of its own.
#pragma once

#include <memory>
#include <string>

#include "interfaces/radiotuner.h"
#include "outside/radiotuner/band_plan.h"
#include "platform/com/object.h"
#include "platform/media/radio/radio_tuner.h"

class CRadioTuner : public IRadioTunerComponent {
 public:
  using Interfaces = plat::InterfaceList<IRadioTunerComponent>;

  plat::HRESULT Open(const char* folder) override;
  plat::HRESULT Close() override;
  plat::HRESULT SetBand(int band) override;
  plat::HRESULT GetBand(int* band) override;
  plat::HRESULT SetFrequency(double frequency) override;
  plat::HRESULT GetFrequency(double* frequency) override;
  plat::HRESULT SetMute(int mute) override;
  plat::HRESULT SetArea(int area) override;
  plat::HRESULT GetStereo(int* stereo) override;
  plat::HRESULT GetBandRange(double* low, double* high, int band) override;
  plat::HRESULT GetSignal(float* level) override;
  plat::HRESULT StorePresets(const double* presets) override;
  plat::HRESULT LoadPresets(double* presets) override;

 private:
  bool HasAm() const;
  radiotuner::BandPlan Plan(int band) const;
  plat::HRESULT Tune(int band, double value);

  std::shared_ptr<plat::radio::IRadioTuner> m_tuner;
  std::string m_folder;
  int m_nBand = kRadioTunerFm;
  int m_nArea = kRadioTunerAreaOther;
  // The last frequency of each band (AM, FM), in the displayed unit.
  double m_frequency[2] = {0, 0};
};
