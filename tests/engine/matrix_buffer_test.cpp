// A worker's matrix storage: kept while it is large enough, on a huge-page
// boundary, and every entry asked for is usable.
#include "matrix_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
#include <cstdint>

namespace {

TEST(MatrixBufferTest, KeepsItsStorageWhileItFitsAndGrowsOnHugePageBoundaries) {
  MatrixBuffer buffer;
  const std::size_t sizes[] = {1, 1000 * 1000 + 1016, 500 * 500, 1200 * 1200};
  std::complex<float>* before = nullptr;
  std::size_t largest = 0;
  for (std::size_t n : sizes) {
    std::complex<float>* p = buffer.Room(n);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % (std::uintptr_t(2) << 20), 0u) << n;
    if (n <= largest) {
      EXPECT_EQ(p, before) << n;  // no new storage for a smaller matrix
    }
    p[0] = std::complex<float>(1.0f, 2.0f);
    p[n - 1] = std::complex<float>(3.0f, 4.0f);
    EXPECT_EQ(p[n - 1], std::complex<float>(3.0f, 4.0f));
    before = p;
    largest = std::max(largest, n);
  }
}

}  // namespace
