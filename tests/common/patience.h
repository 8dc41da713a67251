// How long a test waits for what it checks before it gives up. A passing
// test never waits it out; it is long only so that a busy machine does not
// fail a test that would pass on a quiet one.
#pragma once

namespace vortn::test {

constexpr int kPatienceMs = 120000;

}  // namespace vortn::test
