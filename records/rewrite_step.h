// The one seam through which tests make a rewrite of a file fail. The replacement asks before
// each step whether that step is to fail, and then points the step at something that cannot
// work, so that the step's own error check is what notices. Shipped programs link the answer
// "never" (rewrite_step_never.cpp); test programs link one that the tests steer, which may also
// act as the world would meanwhile: change the file, or run out of memory.
#pragma once

#include <string>

enum class RewriteStep {
    Write,   // writing the new file
    Flush,   // flushing it to disk
    Hold,    // between the rewrite's read under the lock and its check before the replacement
    Recheck, // reading the file at path again, to see that it still holds what was read
    Rename,  // putting the new file in the place of the file at path
    Append,  // an append's write at the end of the file
    CutBack, // cutting a file back to its length before a failed append
};

bool RewriteStepFails(RewriteStep step, const std::string& path);
