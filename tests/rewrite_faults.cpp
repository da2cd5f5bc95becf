#include "rewrite_faults.h"

#include <cstdlib>
#include <fstream>
#include <new>

#include "rewrite_step.h"

namespace {

std::string injected;

} // namespace

void InjectRewriteFault(std::string fault) {
    injected = std::move(fault);
}

bool RewriteStepFails(RewriteStep step, const std::string& path) {
    const char* variable = std::getenv("GRADEWICK_REWRITE_FAULT");
    const std::string fault = !injected.empty() ? injected : variable != nullptr ? variable : "";
    switch (step) {
    case RewriteStep::Write:
        if (fault == "oom") {
            throw std::bad_alloc();
        }
        return fault == "write";
    case RewriteStep::Flush: return fault == "flush";
    case RewriteStep::Recheck:
        if (fault == "changed") {
            std::ofstream(path, std::ios::binary | std::ios::app) << "changed meanwhile\r\n";
        }
        return false;
    case RewriteStep::Rename: return fault == "rename";
    }
    return false;
}
