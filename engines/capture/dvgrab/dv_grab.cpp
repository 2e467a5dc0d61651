// CDvGrab: construction and the slots (being filled in).
#include "engines/capture/dvgrab/dv_grab.h"

using namespace plat;

CDvGrab::CDvGrab() : CDvGrab(dvgrab::DvGrabHooks::Machine()) {}
CDvGrab::CDvGrab(dvgrab::DvGrabHooks hooks) : m_hooks(std::move(hooks)) {}
CDvGrab::~CDvGrab() = default;

HRESULT CDvGrab::Open(int /*ignored*/, int /*flags*/, const char* /*burnerFolder*/) { return E_FAIL; }
HRESULT CDvGrab::Close() { return E_FAIL; }
HRESULT CDvGrab::SetNotifyTarget(IDvGrabEventSink* /*sink*/) { return E_FAIL; }
HRESULT CDvGrab::SetOutputFolder(const char* /*folder*/) { return E_FAIL; }
HRESULT CDvGrab::GetOutputFolder(char* /*folder*/) { return E_FAIL; }
HRESULT CDvGrab::SetCaptureFormat(int /*value*/) { return E_FAIL; }
HRESULT CDvGrab::SetOutputType(int /*type*/) { return E_FAIL; }
HRESULT CDvGrab::SetEncoderParams(EncoderBlock /*block*/) { return E_FAIL; }
HRESULT CDvGrab::Reserved11() { return E_FAIL; }
HRESULT CDvGrab::GetFrameRate(float* /*rate*/) { return E_FAIL; }
HRESULT CDvGrab::SetVideoWindow(plat::HWND /*window*/, int /*left*/, int /*top*/, int /*right*/, int /*bottom*/) { return E_FAIL; }
HRESULT CDvGrab::SetCaptureFile(const char* /*path*/) { return E_FAIL; }
HRESULT CDvGrab::Capture(int /*start*/) { return E_FAIL; }
HRESULT CDvGrab::Play() { return E_FAIL; }
HRESULT CDvGrab::Pause() { return E_FAIL; }
HRESULT CDvGrab::Stop() { return E_FAIL; }
HRESULT CDvGrab::Rewind() { return E_FAIL; }
HRESULT CDvGrab::FastForward() { return E_FAIL; }
HRESULT CDvGrab::GetTimecode(int* /*hours*/, int* /*minutes*/, int* /*seconds*/) { return E_FAIL; }
HRESULT CDvGrab::GetCaptureTime(int* /*hours*/, int* /*minutes*/, int* /*seconds*/) { return E_FAIL; }
HRESULT CDvGrab::EnumerateDevices() { return E_FAIL; }
HRESULT CDvGrab::HasDiscWriter() { return E_FAIL; }
HRESULT CDvGrab::CheckDeviceReady() { return E_FAIL; }
HRESULT CDvGrab::GetDeviceKind(int* /*kind*/) { return E_FAIL; }
HRESULT CDvGrab::SelectDevice(int /*index*/) { return E_FAIL; }
HRESULT CDvGrab::GetDeviceName(char* /*name*/) { return E_FAIL; }
HRESULT CDvGrab::GetDeviceNameAt(char* /*name*/, int /*index*/) { return E_FAIL; }
HRESULT CDvGrab::SelectDrive(int /*index*/) { return E_FAIL; }
HRESULT CDvGrab::StartCaptureToDisc() { return E_FAIL; }
HRESULT CDvGrab::StopCaptureToDisc() { return E_FAIL; }
std::string CDvGrab::CaptureFileName(const std::tm&) const { return {}; }
void CDvGrab::DrainQueue() {}
void CDvGrab::OnTick() {}
int CDvGrab::OnDvEvent(int, const char*) { return 1; }
