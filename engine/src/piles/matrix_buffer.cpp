#include "matrix_buffer.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;

}  // namespace

void MatrixBuffer::Release::operator()(std::complex<float>* p) const { std::free(p); }

std::complex<float>* MatrixBuffer::Room(std::size_t count) {
  if (count <= capacity_) return data_.get();
  data_.reset();  // the old storage goes first: never two at once
  capacity_ = 0;
  const std::size_t bytes = (count * sizeof(std::complex<float>) + kHugePage - 1) / kHugePage * kHugePage;
  void* p = std::aligned_alloc(kHugePage, bytes);
  if (p == nullptr) throw std::bad_alloc();
  // Advice only: where the system has no huge pages the storage keeps
  // ordinary ones.
  madvise(p, bytes, MADV_HUGEPAGE);
  data_.reset(static_cast<std::complex<float>*>(p));
  capacity_ = bytes / sizeof(std::complex<float>);
  return data_.get();
}
