// The one-step replacement over the platform's file calls, asking the failure-injection seam
// before each step.
#include "file_replace.h"

#include <exception>

#include "file_system.h"
#include "rewrite_step.h"

namespace {

// Where a step that is to fail is pointed instead: a folder that is not there.
std::string Nowhere(const std::string& path) {
    return "no-such-folder/" + path;
}

// Writes, flushes and closes the new file, checks the file at target, and renames the new
// file over it. Returns what failed, or nothing.
std::string WriteAndMove(NewFile& file, const std::string& temporary, const std::string& path,
                         const std::string& target, std::optional<std::string_view> before,
                         std::string_view contents) {
    NewFile lost;
    if (!(RewriteStepFails(RewriteStep::Write, temporary) ? lost : file).Write(contents)) {
        return "writing '" + temporary + "' failed";
    }
    if (!(RewriteStepFails(RewriteStep::Flush, temporary) ? lost : file).Flush() || !file.Close()) {
        return "'" + temporary + "' could not be flushed to disk";
    }
    if (before) {
        const bool fails = RewriteStepFails(RewriteStep::Recheck, target);
        const WholeFile now = ReadWholeFile(fails ? Nowhere(target) : target);
        if (!now.Opened || now.ReadError || now.Bytes != *before) {
            return "'" + path + "' changed or vanished while it was being rewritten";
        }
    }
    const bool fails = RewriteStepFails(RewriteStep::Rename, target);
    if (!MoveInPlace(temporary, fails ? Nowhere(target) : target)) {
        return "'" + temporary + "' could not take the place of '" + path + "'";
    }
    return {};
}

} // namespace

ReplaceResult ReplaceFileContents(const std::string& path, std::optional<std::string_view> before,
                                  std::string_view contents) {
    const std::string target = FinalPath(path);
    if (const std::optional<FileFacts> facts = LookAtFile(target)) {
        if (facts->ReadOnly) {
            return {ReplaceStatus::ReadOnly, "'" + path + "' is read-only"};
        }
        if (facts->Names > 1) {
            return {ReplaceStatus::OtherNames, "'" + path + "' has other names (" +
                                                   std::to_string(facts->Names) +
                                                   " hard links), which replacing it would part"};
        }
    }
    const std::string temporary = target + ".new";
    NewFile file(temporary, target);
    if (!file.Created()) {
        if (file.AlreadyThere()) {
            return {ReplaceStatus::LeftoverNewFile,
                    "'" + temporary +
                        "' is already there: it may be left from an interrupted removal or "
                        "change, holding the new contents that were being written, and can be "
                        "deleted when no other removal or change of '" +
                        path + "' runs"};
        }
        return {ReplaceStatus::Failed, "cannot create '" + temporary + "' beside it"};
    }
    std::string failure;
    try {
        failure = WriteAndMove(file, temporary, path, target, before, contents);
    } catch (const std::exception& error) {
        failure = "rewriting '" + path + "' stopped: " + error.what();
    } catch (...) {
        failure = "rewriting '" + path + "' stopped by an unknown failure";
    }
    if (failure.empty()) {
        return {};
    }
    file.Close();
    RemoveFile(temporary);
    return {ReplaceStatus::Failed, failure};
}
