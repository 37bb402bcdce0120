#pragma once

// What a back end keeps beside one of the device's shared objects (the GPU
// copy of a face batch or of a layer pool). The object owns it; a back end
// that finds another back end's data there replaces it.
class BackendData {
public:
  BackendData() = default;
  BackendData(const BackendData &) = delete;
  BackendData &operator=(const BackendData &) = delete;
  virtual ~BackendData() = default;
};
