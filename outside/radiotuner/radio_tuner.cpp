#include "outside/radiotuner/radio_tuner.h"

#include "outside/radiotuner/preset_file.h"

using namespace plat;
using plat::radio::Modulation;

HRESULT CRadioTuner::Open(const char* folder) {
  Close();
  m_tuner = plat::radio::OpenRadioTuner();
  if (!m_tuner || !plat::radio::FindBand(m_tuner->Bands(), Modulation::kFm)) {
    m_tuner.reset();
    return E_FAIL;
  }
  m_folder = folder ? folder : "";
  m_nBand = kRadioTunerFm;
  // Start where the tuner is when that lies in the plan, else at its foot.
  const radiotuner::BandPlan fm = Plan(kRadioTunerFm);
  const double tuned = static_cast<double>(m_tuner->Frequency()) / fm.hertz;
  m_frequency[kRadioTunerFm] = tuned >= fm.low && tuned <= fm.high ? radiotuner::Snap(fm, tuned) : fm.low;
  m_frequency[kRadioTunerAm] = Plan(kRadioTunerAm).low;
  m_tuner->SetMute(false);
  return Tune(kRadioTunerFm, m_frequency[kRadioTunerFm]);
}

HRESULT CRadioTuner::Close() {
  if (m_tuner) m_tuner->SetMute(true);
  m_tuner.reset();
  return S_OK;
}

bool CRadioTuner::HasAm() const {
  return m_tuner && plat::radio::FindBand(m_tuner->Bands(), Modulation::kAm).has_value();
}

radiotuner::BandPlan CRadioTuner::Plan(int band) const { return radiotuner::PlanOf(band == kRadioTunerFm, m_nArea); }

HRESULT CRadioTuner::Tune(int band, double value) {
  const radiotuner::BandPlan plan = Plan(band);
  const double snapped = radiotuner::Snap(plan, value);
  if (!m_tuner->SetFrequency(radiotuner::ToHertz(plan, snapped))) return E_FAIL;
  m_nBand = band;
  m_frequency[band] = snapped;
  return S_OK;
}

HRESULT CRadioTuner::SetBand(int band) {
  if (!m_tuner) return E_FAIL;
  if (band != kRadioTunerFm && band != kRadioTunerAm) return E_INVALIDARG;
  if (band == kRadioTunerAm && !HasAm()) return E_FAIL;
  return Tune(band, m_frequency[band]);
}

HRESULT CRadioTuner::GetBand(int* band) {
  if (!band) return E_POINTER;
  if (!m_tuner) return E_FAIL;
  *band = m_nBand;
  return S_OK;
}

HRESULT CRadioTuner::SetFrequency(double frequency) {
  if (!m_tuner) return E_FAIL;
  return Tune(m_nBand, frequency);
}

HRESULT CRadioTuner::GetFrequency(double* frequency) {
  if (!frequency) return E_POINTER;
  if (!m_tuner) return E_FAIL;
  *frequency = m_frequency[m_nBand];
  return S_OK;
}

HRESULT CRadioTuner::SetMute(int mute) {
  if (!m_tuner) return E_FAIL;
  return m_tuner->SetMute(mute != 0) ? S_OK : E_FAIL;
}

HRESULT CRadioTuner::SetArea(int area) {
  if (area != kRadioTunerAreaOther && area != kRadioTunerArea81 && area != kRadioTunerArea1) return E_INVALIDARG;
  m_nArea = area;
  if (!m_tuner) return S_OK;
  // The other band's frequency moves into the new plan too.
  const int other = m_nBand == kRadioTunerFm ? kRadioTunerAm : kRadioTunerFm;
  m_frequency[other] = radiotuner::Snap(Plan(other), m_frequency[other]);
  return Tune(m_nBand, m_frequency[m_nBand]);
}

HRESULT CRadioTuner::GetStereo(int* stereo) {
  if (!stereo) return E_POINTER;
  if (!m_tuner) return E_FAIL;
  *stereo = m_nBand == kRadioTunerFm && m_tuner->Stereo() ? 1 : 0;
  return S_OK;
}

HRESULT CRadioTuner::GetBandRange(double* low, double* high, int band) {
  if (!low || !high) return E_POINTER;
  if (band == -1) band = m_nBand;
  if (band != kRadioTunerFm && band != kRadioTunerAm) return E_INVALIDARG;
  const radiotuner::BandPlan plan = Plan(band);
  *low = plan.low;
  *high = plan.high;
  return S_OK;
}

HRESULT CRadioTuner::GetSignal(float* level) {
  if (!level) return E_POINTER;
  if (!m_tuner) return E_FAIL;
  *level = static_cast<float>(plat::radio::SignalLevel(m_tuner->Signal()));
  return S_OK;
}

HRESULT CRadioTuner::StorePresets(const double* presets) {
  if (!presets) return E_POINTER;
  radiotuner::Presets values{};
  for (int i = 0; i < kRadioTunerPresetCount; ++i) values[i] = presets[i];
  return radiotuner::StorePresetFile(m_folder, values) ? S_OK : E_FAIL;
}

HRESULT CRadioTuner::LoadPresets(double* presets) {
  if (!presets) return E_POINTER;
  const radiotuner::Presets values = radiotuner::LoadPresetFile(m_folder);
  for (int i = 0; i < kRadioTunerPresetCount; ++i) presets[i] = values[i];
  return S_OK;
}
