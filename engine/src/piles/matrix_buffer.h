// Storage of a large matrix that one worker forms and factors again and
// again.  A worker touches it first at its first frequency, and every page
// of memory touched for the first time costs the system a fault (on a
// virtual machine a trap into the host as well): the storage is aligned to
// a huge page and asks for transparent huge pages, 512 times fewer faults
// where the system grants them.
#pragma once

#include <complex>
#include <cstddef>
#include <memory>

class MatrixBuffer {
 public:
  // Room for at least `count` entries.  What the storage held is lost when
  // it has to grow; the entries are not cleared (the caller writes each
  // entry before it reads it).
  std::complex<float>* Room(std::size_t count);

 private:
  struct Release {
    void operator()(std::complex<float>* p) const;
  };
  std::unique_ptr<std::complex<float>[], Release> data_;
  std::size_t capacity_ = 0;
};
