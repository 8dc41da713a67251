#!/usr/bin/env bash
# Makes the second users the shared-folder and team-folder save tests run
# the program as, where they are missing: vortn_t1 and vortn_t2, each with a
# group of its own and also in the group "users"; vortn_u1 and vortn_u2,
# whose main group is "users" (a team). Only the superuser can; anyone else
# gets nothing done and those tests skip themselves. Safe to run again.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  echo "not the superuser: the second users are not made"
  exit 0
fi
getent group users > /dev/null || groupadd users
for user in vortn_t1 vortn_t2; do
  if ! id "$user" > /dev/null 2>&1; then
    # Another run may make it at the same time.
    useradd --no-create-home --user-group --groups users --shell /usr/sbin/nologin "$user" || id "$user" > /dev/null
  fi
  id -nG "$user" | grep -qw users || usermod -aG users "$user"
done
for user in vortn_u1 vortn_u2; do
  if ! id "$user" > /dev/null 2>&1; then
    useradd --no-create-home --no-user-group --gid users --shell /usr/sbin/nologin "$user" || id "$user" > /dev/null
  fi
done
