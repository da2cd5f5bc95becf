// The rewrite's failure-injection seam (rewrite_step.h) as test programs answer it. A fault is
// one of
//   write, flush, rename   that step fails, as a full disk or a refused rename would
//   oom                    writing the new file throws std::bad_alloc
//   changed                another program adds a line to the file just before it is read again
// named by InjectRewriteFault in process, or else by the environment variable
// GRADEWICK_REWRITE_FAULT (the companion built for tests).
#pragma once

#include <string>

void InjectRewriteFault(std::string fault); // "" for none
