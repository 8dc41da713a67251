// How many threads the process may run at once: the processors of its
// affinity mask (taskset, a container's cpuset), and no more than its
// control group's processor quota (cpu.max, or cpu.cfs_quota_us under the
// older hierarchy) rounds up to.  More threads than that only take turns.
#pragma once

#include <filesystem>

// At least 1.
int UsableCpus();

// The quota of the control group that `cgroupFile` (the format of
// /proc/self/cgroup) names, with the mounts of `mountInfo` (the format of
// /proc/self/mountinfo), as whole processors rounded up, the smallest on the
// way up from the group to its hierarchy's root; 0 when no quota is set or
// none can be read.
int CgroupCpuLimit(const std::filesystem::path& cgroupFile, const std::filesystem::path& mountInfo);
