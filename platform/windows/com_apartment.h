// ComApartment: COM for the calling thread, in a single-threaded apartment,
// for as long as the object lives. Every Windows front end creates one at the
// top of its thread (before the window and cnMain, so that it outlives every
// COM object), and so does every test that uses ADO. Instances may nest; each
// one balances its own initialisation.
#pragma once

#include "base/status.h"

namespace telo {

class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  // Ok when COM can be used on this thread (also when another part of the
  // process had already put the thread into a multi-threaded apartment).
  const Status& status() const { return status_; }

 private:
  bool must_uninitialize_ = false;
  Status status_;
};

}  // namespace telo
