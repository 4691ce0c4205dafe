#pragma once
// Sharing a long computation between the calling thread and one helper
// thread (the machines this runs on have two cores). The call returns only
// when all the work is done, so callers stay single-threaded to the outside.
#include <cstddef>
#include <functional>

namespace vellomar {

// Runs task(i) for every i below count, the calling thread and one helper
// each taking the next index in turn, so uneven tasks balance out. Tasks
// must be independent. The first error of a task is raised again once both
// threads have stopped; the remaining tasks are then skipped. When the
// system refuses a helper thread the calling thread does all the work.
void ShareAcrossTwoThreads(size_t count, const std::function<void(size_t)>& task);

}  // namespace vellomar
