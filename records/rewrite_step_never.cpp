// The shipped programs' answer to the rewrite's failure-injection seam: no step fails.
#include "rewrite_step.h"

bool RewriteStepFails(RewriteStep /*step*/, const std::string& /*path*/) {
    return false;
}
