#include "usable_cpus.h"

#include <sched.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Split(const std::string& text, char at) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, at)) parts.push_back(part);
  if (!text.empty() && text.back() == at) parts.emplace_back();
  return parts;
}

// Whole processors of quota / period, rounded up; 0 for none.
int Processors(double quota, double period) {
  if (!(quota > 0.0) || !(period > 0.0)) return 0;
  return static_cast<int>(std::min(std::ceil(quota / period), 1.0e6));
}

// The limit set in one group folder (0: none).  The newer hierarchy writes
// "max 100000" or "150000 100000" in cpu.max; the older one the quota
// (-1: none) and the period in two files.
int FolderLimit(const fs::path& folder, bool unified) {
  double quota = 0.0, period = 0.0;
  if (unified) {
    std::ifstream max(folder / "cpu.max");
    std::string q;
    if (!(max >> q >> period) || q == "max") return 0;
    quota = std::strtod(q.c_str(), nullptr);
  } else {
    std::ifstream q(folder / "cpu.cfs_quota_us"), p(folder / "cpu.cfs_period_us");
    if (!(q >> quota) || !(p >> period)) return 0;
  }
  return Processors(quota, period);
}

struct Mount {
  std::string root, point;
  bool unified = false;
};

// The mount of the hierarchy that holds the processor controller: the
// older one with "cpu" among its options, else the unified one.
bool FindMount(const fs::path& mountInfo, bool unified, Mount& found) {
  std::ifstream in(mountInfo);
  for (std::string line; std::getline(in, line);) {
    const std::size_t dash = line.find(" - ");
    if (dash == std::string::npos) continue;
    std::istringstream head(line.substr(0, dash)), tail(line.substr(dash + 3));
    std::string id, parent, device, root, point, type, source, options;
    if (!(head >> id >> parent >> device >> root >> point) || !(tail >> type >> source >> options)) continue;
    if (unified ? type != "cgroup2" : type != "cgroup") continue;
    if (!unified) {
      const std::vector<std::string> opts = Split(options, ',');
      if (std::find(opts.begin(), opts.end(), "cpu") == opts.end()) continue;
    }
    found = Mount{root, point, unified};
    return true;
  }
  return false;
}

}  // namespace

int CgroupCpuLimit(const fs::path& cgroupFile, const fs::path& mountInfo) {
  std::ifstream in(cgroupFile);
  for (std::string line; std::getline(in, line);) {
    // "hierarchy:controllers:path"; the unified hierarchy has no controllers.
    const std::size_t a = line.find(':'), b = a == std::string::npos ? a : line.find(':', a + 1);
    if (b == std::string::npos) continue;
    const std::string controllers = line.substr(a + 1, b - a - 1);
    std::string path = line.substr(b + 1);
    const bool unified = controllers.empty();
    if (!unified) {
      const std::vector<std::string> names = Split(controllers, ',');
      if (std::find(names.begin(), names.end(), "cpu") == names.end()) continue;
    }
    Mount m;
    if (!FindMount(mountInfo, unified, m)) continue;
    // The group's path is seen from the mount's own root; inside a
    // container whose namespace hides the path the mount point is the group.
    if (m.root != "/" && path.compare(0, m.root.size(), m.root) == 0) path.erase(0, m.root.size());
    const fs::path top = m.point;
    const fs::path below = fs::path(path).relative_path().lexically_normal();
    fs::path folder = below.empty() || below == "." ? top : top / below;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) folder = top;
    int limit = 0;
    for (;;) {
      const int here = FolderLimit(folder, unified);
      if (here > 0 && (limit == 0 || here < limit)) limit = here;
      if (folder == top) break;
      const fs::path up = folder.parent_path();
      if (up == folder || up.native().size() < top.native().size()) break;
      folder = up;
    }
    if (limit > 0) return limit;
  }
  return 0;
}

int UsableCpus() {
  int cpus = 0;
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0) cpus = CPU_COUNT(&set);
  if (cpus <= 0) cpus = static_cast<int>(std::thread::hardware_concurrency());
  const int quota = CgroupCpuLimit("/proc/self/cgroup", "/proc/self/mountinfo");
  if (quota > 0) cpus = std::min(cpus, quota);
  return std::max(cpus, 1);
}
