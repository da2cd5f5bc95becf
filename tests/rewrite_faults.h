// The rewrite's failure-injection seam (rewrite_step.h) as test programs answer it. A fault is
// one of
//   write, flush, rename   that step of a replacement fails, as a full disk or a refused rename
//   oom                    writing the new file throws std::bad_alloc
//   changed                another program adds a line to the file just before it is read again
//   append                 an append writes half its bytes and then fails, as on a full disk
//   append-cut             the same, and cutting the file back fails too
// named by InjectRewriteFault in process, or else by the environment variable
// GRADEWICK_REWRITE_FAULT (the companion built for tests).
#pragma once

#include <functional>
#include <string>

void InjectRewriteFault(std::string fault); // "" for none

// While set, a writer that holds the writers' lock calls hold: a rewrite between its read and its
// check before the replacement, an append between its "full" check and its write. Tests start a
// second writer there, so that it meets the first in the middle of its work.
void HoldWriters(std::function<void()> hold); // nullptr for none
