// Running a number of independent jobs on up to N threads at once, each job
// on one thread from start to end (a job owns its link for its whole life).
#pragma once
#include <functional>
#include <vector>

// Calls job(i) for every i in [0, count), at most `threads` at a time;
// returns when all have ended.
void RunJobs(int count, int threads, const std::function<void(int)>& job);

// The same for jobs in groups: the jobs of one group run one after the
// other, in order, on one thread (they share something only one may use at
// a time); the groups run side by side.
void RunJobGroups(const std::vector<std::vector<int>>& groups, int threads,
                  const std::function<void(int)>& job);
