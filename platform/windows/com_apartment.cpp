// ComApartment: CoInitializeEx / CoUninitialize around an object's lifetime.
#include "platform/windows/com_apartment.h"

#include <objbase.h>

namespace telo {

ComApartment::ComApartment() {
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (SUCCEEDED(hr)) {
    must_uninitialize_ = true;
  } else if (hr != RPC_E_CHANGED_MODE) {
    status_ = Status::Error(static_cast<int32_t>(hr), "COM could not be initialised");
  }
}

ComApartment::~ComApartment() {
  if (must_uninitialize_) CoUninitialize();
}

}  // namespace telo
