#include "rewrite_faults.h"

#include <cstdlib>
#include <fstream>
#include <new>

#include "rewrite_step.h"

namespace {

std::string injected;
std::function<void()> held;

} // namespace

void InjectRewriteFault(std::string fault) {
    injected = std::move(fault);
}

void HoldWriters(std::function<void()> hold) {
    held = std::move(hold);
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
    case RewriteStep::Hold:
        if (held) {
            held();
        }
        return false;
    case RewriteStep::Recheck:
        if (fault == "changed") {
            std::ofstream(path, std::ios::binary | std::ios::app) << "changed meanwhile\r\n";
        }
        return false;
    case RewriteStep::Rename: return fault == "rename";
    case RewriteStep::Append: return fault == "append" || fault == "append-cut";
    case RewriteStep::CutBack: return fault == "append-cut";
    }
    return false;
}
